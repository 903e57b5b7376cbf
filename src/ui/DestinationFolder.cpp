#include "ui/DestinationFolder.h"

#include <QDir>
#include <QFile>
#include <filesystem>
#include <system_error>

#include "engine/ProcessingRun.h"

namespace quarrow {

QString ResolveDestination(const QString& typed, const QString& dxfFolder) {
    QString text = typed.trimmed();
    if (text.isEmpty())
        return {};
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
        text = QDir::homePath() + text.mid(1);
    if (QDir::isRelativePath(text))
        text = QDir(dxfFolder).filePath(text);
    return QDir::cleanPath(text);
}

QString MakeDestination(const QString& folder) {
    std::error_code ec;
    const std::filesystem::path path(QFile::encodeName(folder).toStdString());
    std::filesystem::create_directories(path, ec);
    if (!ec && !std::filesystem::is_directory(path, ec))
        ec = std::make_error_code(std::errc::not_a_directory);
    return ec ? QString::fromLocal8Bit(ec.message()) : QString();
}

QString WriteRefusalReason(const QString& folder) {
    QFile probe(QDir(folder).filePath(QStringLiteral("quarrow$_$probe.tmp")));
    if (probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        probe.close();
        probe.remove();
        return {};
    }
    return probe.errorString();
}

QString DestinationRefusal(const QString& folder, const QString& reason) {
    const QString shown = QDir::toNativeSeparators(
        folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
    // The run's own refusal, so the two cannot drift apart.
    QString text =
        QString::fromLocal8Bit(DestinationNotWritableText(QFile::encodeName(shown).toStdString()));
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n(%1)").arg(reason);
    return text;
}

}  // namespace quarrow
