#include "SoundLibrary.h"

#include <QLoggingCategory>

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <portaudio.h>

#include <cstdarg>
#include <mutex>

namespace {
Q_LOGGING_CATEGORY(lcSoundLibrary, "repeta.record.library", QtInfoMsg)

void jackMessage(const char* text) { qCDebug(lcSoundLibrary, "jack: %s", text); }

void alsaMessage(const char* file, int line, const char* function, int, const char* format, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    qCDebug(lcSoundLibrary, "alsa %s:%d (%s): %s", file, line, function, text);
}

class Session {
public:
    bool ensure(QString* error)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_initialised)
            return true;
        jack_set_error_function(jackMessage);
        jack_set_info_function(jackMessage);
        snd_lib_error_set_handler(alsaMessage);
        const PaError result = Pa_Initialize();
        m_initialised = result == paNoError;
        if (!m_initialised && error)
            *error = soundlibrary::errorText(result);
        return m_initialised;
    }

    ~Session()
    {
        if (m_initialised)
            Pa_Terminate();
    }

private:
    std::mutex m_mutex; // guards m_initialised
    bool m_initialised = false;
};

} // namespace

bool soundlibrary::ensureInitialised(QString* error)
{
    static Session session;
    return session.ensure(error);
}

QString soundlibrary::errorText(int paError)
{
    return QStringLiteral("portaudio: %1").arg(QString::fromLocal8Bit(Pa_GetErrorText(paError)));
}
