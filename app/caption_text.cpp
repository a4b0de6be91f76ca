#include "app/caption_text.h"

namespace ob {

QString ToDisplay(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string ToBytes(const QString& text) {
    const QByteArray latin1 = text.toLatin1();
    return {latin1.constData(), std::size_t(latin1.size())};
}

QString WithoutAccelerators(const QString& caption) {
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

} // namespace ob
