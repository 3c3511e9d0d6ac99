# The Ruffle web player that the web page export copies beside each page.
# tools/deps.sh (make deps) installs the npm package pinned in
# third_party/ruffle/package.json into third_party/ruffle/node_modules: the
# development cache. The program looks in ruffle/ beside itself first (where
# make install and the .deb put the player, see Install.cmake), then here.
set(VELLUMET_RUFFLE_DIR ${CMAKE_SOURCE_DIR}/third_party/ruffle/node_modules/@ruffle-rs/ruffle)
target_compile_definitions(vellumet_exporters PRIVATE
  VELLUMET_RUFFLE_CACHE_DIR="${VELLUMET_RUFFLE_DIR}/")
