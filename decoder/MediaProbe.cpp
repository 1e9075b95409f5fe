#include "MediaProbe.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <QFile>

MediaFacts probeMedia(const QString& path)
{
    MediaFacts facts;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return facts;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        facts.opened = true;
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            const AVStream* stream = format->streams[i];
            const AVMediaType type = stream->codecpar->codec_type;
            if (type == AVMEDIA_TYPE_AUDIO)
                facts.hasAudio = true;
            else if (type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
                facts.hasVideo = true;
        }
        if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
            facts.duration = double(format->duration) / AV_TIME_BASE;
    }
    avformat_close_input(&format);
    return facts;
}
