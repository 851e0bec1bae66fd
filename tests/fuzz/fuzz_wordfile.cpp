// GLib's headers come before Qt's: they use names that Qt defines as macros.
#include <glib.h>

#include "app/Failure.h"
#include "word97/WordBookmarks.h"
#include "word97/WordParagraphs.h"
#include "word97/WordShapes.h"
#include "word97/WordText.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>

#include <unistd.h>

// Arbitrary bytes, saved as a file, go to every Word 97 reader in turn. A reader may return or
// report the file as damaged with Failure; anything else (a crash, another exception, a hang, a
// read out of bounds) is a fault that libFuzzer reports with the input that caused it.

namespace {

using Reader = void (*)(const QString& path);

const Reader kReaders[] = {
    [](const QString& path) { lumarel::readWordBookmarks(path); },
    [](const QString& path) { lumarel::readWordShapes(path); },
    [](const QString& path) { lumarel::readWordMainText(path); },
    [](const QString& path) {
        const lumarel::WordParagraphs read = lumarel::readWordParagraphs(path);
        for (const lumarel::WordParagraph& paragraph : read.paragraphs)
            read.paragraphProperty(paragraph, lumarel::kSprmPBrcBottom);
    },
};

QString inputPath()
{
    static const QString path =
        QDir::temp().filePath(QStringLiteral("lumarel-fuzz-%1.doc").arg(getpid()));
    return path;
}

// libgsf warns, and checks its own internal assertions as critical messages, about every damaged
// file it meets, which only slows the run down. A critical message from elsewhere (GLib's object
// system) means our side broke a precondition, which is a fault.
void onLogMessage(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer)
{
    const bool fromLibgsf = domain && g_str_has_prefix(domain, "libgsf");
    if ((level & G_LOG_LEVEL_ERROR) || ((level & G_LOG_LEVEL_CRITICAL) && !fromLibgsf)) {
        g_printerr("%s: %s\n", domain ? domain : "", message);
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_log_set_default_handler(onLogMessage, nullptr);
    inputPath(); // made before the exit handler that uses it, so that it outlives that handler
    atexit([] { QFile::remove(inputPath()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QFile file(inputPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        abort();
    file.close();
    for (const Reader read : kReaders) {
        try {
            read(inputPath());
        } catch (const lumarel::Failure&) {
        }
    }
    return 0;
}
