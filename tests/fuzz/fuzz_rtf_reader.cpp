// libFuzzer entry point: reads arbitrary bytes as RTF into a document, then writes that
// document back as RTF, so that both the reader and the writer see what the reader makes.
#include "platform/richedit/rtf/Rtf.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// QTextDocument needs a QGuiApplication for fonts; one is made on the first input and
// kept for the whole run, on the offscreen platform since the fuzzer has no display.
void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz_rtf_reader";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EnsureApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument doc;
    ReadRtf(bytes, doc, 96);
    const QByteArray written = WriteRtf(doc, 96);
    // Reading what was written must also be safe.
    QTextDocument again;
    ReadRtf(written, again, 96);
    return 0;
}
