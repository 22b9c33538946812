#include "platform/paths.h"
#include "qtkit/qtkit.h"
#include "shell/form1.h"

#ifdef _WIN32
#include "platform/player/win32player.h"
#ifdef VELMORA_BUILTIN_PLAYER
#include "platform/player/mfplayer.h"
#include "platform/process.h"
#endif
#else
#include "platform/player/mprisplayer.h"
#ifdef VELMORA_BUILTIN_PLAYER
#include "platform/player/builtinplayer.h"
#endif
#endif

#include <QApplication>

#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    // The menu entry's name: desktops match the windows to it and show its icon in the task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.velmora.Velmora"));
    QApplication::setWindowIcon(velmora::qtkit::programIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    velmora::qtkit::installFontSubstitutes();
    velmora::qtkit::addBundledFonts(velmora::platform::programFolder());

#if defined(_WIN32) && defined(VELMORA_BUILTIN_PLAYER)
    // The player inside the program, unless the preferences name one or a Winamp stands at its
    // usual place.
    velmora::platform::Win32PlayerChannel outside;
    velmora::platform::MediaFoundationPlayerChannel player(outside,
                                                           velmora::platform::defaultPlayerProgram());
#elif defined(_WIN32)
    velmora::platform::Win32PlayerChannel player;
#elif defined(VELMORA_BUILTIN_PLAYER)
    // The player inside the program, unless the preferences name one; VELMORA_AUDIO_OUTPUT picks
    // its sound output (pulse, pipewire, alsa, ...) where libmpv's own choice does not suit.
    velmora::platform::MprisPlayerChannel outside;
    const char *output = std::getenv("VELMORA_AUDIO_OUTPUT");
    velmora::platform::BuiltInPlayerChannel player(outside, output ? output : "");
#else
    velmora::platform::MprisPlayerChannel player;
#endif
    velmora::qtkit::Dialogs dialogs;
#ifdef VELMORA_AUDIO_EDITION
    constexpr auto edition = velmora::Edition::Audio;
#else
    constexpr auto edition = velmora::Edition::WithoutAudio;
#endif
    const std::string own = velmora::platform::tempFolder();
    // Earlier versions kept the reader's files in the temporary folder, which Windows empties now and
    // then: what they left there is taken over once.
    velmora::platform::takeOverFiles(velmora::platform::olderTempFolder(), own, velmora::isSavedFileName);
    velmora::Form1 form(velmora::platform::programFolder(), own, player, dialogs, edition);
    QObject::connect(&form, &velmora::Form1::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.load();
    form.show();
    return QApplication::exec();
}
