# `cpack -G DEB` in a build folder makes the Debian package of what
# `cmake --install` puts in place, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME repeta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Repeta developers")
set(CPACK_PACKAGE_CONTACT "Repeta developers <repeta@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spoken English trainer for Chinese-speaking learners")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Repeta trains spoken English sentence by sentence. A practice material is\n"
    "a media file with a sentence file (LRC, SRT or WebVTT), or one split into\n"
    "sentences at the pauses of its sound. The learner listens to the passage\n"
    "or loops a sentence with karaoke text and its waveform, at 0.5x to 1.5x\n"
    "without a change of pitch, records their voice to MP3 and compares it with\n"
    "the model by ear, by waveform and by its melody and rhythm. A hands-free\n"
    "drill, keys for every action, a material library and an export of the\n"
    "recordings complete it. The interface is in Chinese.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The libraries the binaries link come from dpkg-shlibdeps; what no link
# reveals is listed here: Qt's Chinese texts, a font with Chinese glyphs,
# Qt's platform and input-method plugins, and ALSA's route to the sound
# server, through which the microphone is recorded.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-noto-cjk, qt6-qpa-plugins, libasound2-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
include(CPack)
