// Stands in for the silent installer in the install window's fault tests: writes the messages of
// an installation up to a chosen point through the silent installer's own reporter, then waits to
// be ended from outside, or ends by itself as the script says.
//
//   silent_stand_in <channel> <script> <ready-event>
//
//   extraction    the first extraction to 100 %, then waits
//   driver        that, then two driver lines, then waits
//   beforefinish  the whole installation but its finish message, then waits
//   finish        the whole installation, then ends at once (0) without waiting for the finish
//                 message to be taken
//   error         the first extraction, then error 4, then ends (4) as the silent installer does
//   error5        the same with error 5, a code the window does not show
//
// A waiting script sets the named event <ready-event> once its last message has been taken. It
// waits at most a minute, so a failed test leaves nothing behind for long.
#include <windows.h>

#include <string>

#include "base/KernelHandles.h"
#include "silent/ChannelReporter.h"

namespace {

using tessel::ChannelReporter;
using tessel::MessageStyle;

constexpr DWORD kLingerMs = 60'000;
constexpr int kBadArguments = 2;

void Extraction(ChannelReporter& reporter) {
    reporter.Report(MessageStyle::ExtractionStart, tessel::kExtractionRange);
    for (int percent = 1; percent <= tessel::kExtractionRange; ++percent) {
        reporter.Report(MessageStyle::ExtractionPercent, percent);
    }
}

void DriverLines(ChannelReporter& reporter, int count) {
    const char* const lines[] = {"v:1/4[Keyboard driver]", "v:2/4[Receiver driver]",
                                 "v:3/4[Media keys driver]", "v:4/4[Mouse driver]"};
    for (int i = 0; i < count; ++i) {
        reporter.ReportDriverLine(lines[i]);
    }
}

int WaitToBeEnded(ChannelReporter& reporter, const char* readyEvent) {
    reporter.Flush();
    tessel::UniqueHandle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, readyEvent));
    if (ready) {
        ::SetEvent(ready.Get());
    }
    ::Sleep(kLingerMs);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return kBadArguments;
    }
    ChannelReporter reporter(argv[1]);
    const std::string script = argv[2];
    Extraction(reporter);
    if (script == "extraction") {
        return WaitToBeEnded(reporter, argv[3]);
    }
    if (script == "error" || script == "error5") {
        const int code = script == "error" ? 4 : 5;
        reporter.Report(MessageStyle::Error, code);
        reporter.Flush();
        return code;
    }
    if (script == "driver") {
        DriverLines(reporter, 2);
        return WaitToBeEnded(reporter, argv[3]);
    }
    DriverLines(reporter, 4);
    reporter.Report(MessageStyle::DriverDownloaded, 0);
    Extraction(reporter);
    if (script == "beforefinish") {
        return WaitToBeEnded(reporter, argv[3]);
    }
    if (script == "finish") {
        reporter.Report(MessageStyle::Finished, 1);
        return 0;
    }
    return kBadArguments;
}
