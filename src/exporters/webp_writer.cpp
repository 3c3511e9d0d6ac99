#include "exporters/webp_writer.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <cstdint>
#include <memory>

#include "platform/error.h"

namespace exporters {
namespace {

struct TEncoderDeleter {
  void operator()(WebPAnimEncoder* e) const { WebPAnimEncoderDelete(e); }
};
using TEncoder = std::unique_ptr<WebPAnimEncoder, TEncoderDeleter>;

[[noreturn]] void Fail(const std::string& why) {
  throw platform::TVellumetError("Cannot make the WebP file: " + why);
}

TEncoder MakeEncoder(const TFrameSource& frames, bool loop, bool mixed) {
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options)) Fail("the WebP library does not match");
  options.anim_params.loop_count = loop ? 0 : 1;
  options.anim_params.bgcolor = frames.Background();
  options.allow_mixed = mixed;
  TEncoder encoder(WebPAnimEncoderNew(frames.Width(), frames.Height(), &options));
  if (!encoder) Fail("out of memory");
  return encoder;
}

WebPConfig ConfigFor(const TWebPSetting& setting) {
  WebPConfig config;
  if (!WebPConfigInit(&config)) Fail("the WebP library does not match");
  config.lossless = setting.Lossless;
  config.quality = setting.Lossless ? 75.0f : float(setting.Quality);
  if (!WebPValidateConfig(&config)) Fail("no such quality");
  return config;
}

void AddFrame(WebPAnimEncoder* encoder, const QImage& frame, int64_t timestampMs,
              const WebPConfig& config) {
  WebPPicture picture;
  if (!WebPPictureInit(&picture)) Fail("the WebP library does not match");
  picture.use_argb = 1;
  picture.width = frame.width();
  picture.height = frame.height();
  const bool imported =
      WebPPictureImportRGBA(&picture, frame.constBits(), int(frame.bytesPerLine()));
  const bool added = imported && WebPAnimEncoderAdd(encoder, &picture, int(timestampMs), &config);
  WebPPictureFree(&picture);
  if (!imported) Fail("out of memory");
  if (!added) Fail(WebPAnimEncoderGetError(encoder));
}

}  // namespace

std::vector<uint8_t> EncodeWebP(TFrameSource& frames, const std::vector<int64_t>& durationsMs,
                                bool loop, const TWebPSetting& setting, TProgressMeter& meter) {
  int64_t totalMs = 0;
  for (int64_t d : durationsMs) totalMs += d;
  if (totalMs > INT32_MAX) Fail("the movie is too long for its timestamps");
  const TEncoder encoder = MakeEncoder(frames, loop, !setting.Lossless);
  const WebPConfig config = ConfigFor(setting);
  int64_t timestampMs = 0;
  for (int i = 0; i < frames.Count(); ++i) {
    AddFrame(encoder.get(), frames.Frame(i), timestampMs, config);
    timestampMs += durationsMs[size_t(i)];
    meter.Step();
  }
  if (!WebPAnimEncoderAdd(encoder.get(), nullptr, int(timestampMs), nullptr))
    Fail(WebPAnimEncoderGetError(encoder.get()));
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAssemble(encoder.get(), &data)) Fail(WebPAnimEncoderGetError(encoder.get()));
  std::vector<uint8_t> bytes(data.bytes, data.bytes + data.size);
  WebPDataClear(&data);
  return bytes;
}

}  // namespace exporters
