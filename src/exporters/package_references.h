#pragma once
// The addresses a package's pages, style sheets and scripts use: src and
// href attributes, url() in styles, fetch() and XMLHttpRequest addresses,
// and where each one leads (a file of the package, or outside it).
#include <string>
#include <string_view>
#include <vector>

namespace exporters {

struct TReference {
  std::string From;      // the package file that holds it
  std::string Address;   // as written
  std::string How;       // "src", "href", "url()", "fetch", "XMLHttpRequest"...
  bool Explicit = true;  // false: a script's text that names a file of the package
};

enum class TAddressKind {
  Ignored,   // inline data, a fragment, javascript:
  Outside,   // an address with a scheme or host, or a path from the server's root
  Relative,  // a file of the package, perhaps missing
};

struct TResolvedAddress {
  TAddressKind Kind = TAddressKind::Ignored;
  std::string Path;    // Relative: the package path; Outside: the address
  std::string Host;    // Outside with a host: lower case
  std::string Scheme;  // lower case, "" for paths from the server's root
};

// How `address` used in the package file `from` resolves. "../" past the
// package's root leads outside it.
TResolvedAddress ResolveAddress(const std::string& from, std::string_view address);

// The file type of a package path: its lower-case extension without the dot.
std::string FileType(std::string_view path);

// The references of one file of the package, by its type (HTML, CSS, JS;
// none for others). Script text also refers to any of `files` whose path
// it holds as a string (a runtime that loads pictures by name).
std::vector<TReference> FileReferences(const std::string& path, std::string_view text,
                                       const std::vector<std::string>& files);

// Every "http://" address in the text (not the XML namespaces).
std::vector<std::string> PlainHttpAddresses(std::string_view text);

}  // namespace exporters
