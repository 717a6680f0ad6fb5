// A failure of the file system reaches the user as one German sentence, whichever system's
// layer reported it: the run's message names the page and the reason.
#include "core/failure_text.h"
#include "core/run.h"
#include "memory_file_system.h"

#include <gtest/gtest.h>

using namespace tovaro;

namespace {

// Refuses every replacement of the page with one failure.
class RefusingDisk : public ForwardingFileSystem {
public:
    RefusingDisk(FileSystem& inner, Failure failure)
        : ForwardingFileSystem(inner)
        , failure_(failure)
    {
    }
    StoreResult Replace(const std::string&, std::string_view) override { return { failure_, {} }; }

private:
    Failure failure_;
};

} // namespace

TEST(FailureTextTest, TheRunsMessageSaysWhyInGerman)
{
    struct Case {
        PathStyle style;
        Failure failure;
        const char* reason;
    };
    const Case cases[] = {
        { PathStyle::Posix, { FailureKind::FolderName, 0 },
            "Der Name endet mit \"/\" und bezeichnet einen Ordner, keine Datei." },
        { PathStyle::Windows, { FailureKind::FolderName, 0 },
            "Der Name endet mit \"\\\" und bezeichnet einen Ordner, keine Datei." },
        // A number of the system without a sentence of its own is named, not dropped.
        { PathStyle::Posix, { FailureKind::OtherSystemError, 4711 }, "Systemfehler Nr. 4711." },
        { PathStyle::Windows, { FailureKind::UsedByOtherProgram, 32 },
            "Die Datei wird von einem anderen Programm verwendet." },
        { PathStyle::Posix, { FailureKind::ForeignLink, 0 },
            "Der Pfad der Ausgabedatei führt über eine Verknüpfung, die einem anderen Benutzer "
            "gehört." },
    };
    for (const Case& c : cases) {
        const std::string site = c.style == PathStyle::Windows ? "C:\\s" : "/s";
        test::MemoryFileSystem memory(c.style, site);
        RefusingDisk disk(memory, c.failure);
        RunInputs in;
        in.siteDir = site;
        in.outputPath = JoinPath(site, "lookup.htm", c.style);
        in.allowEmpty = true;
        RunSink sink;
        const RunResult result = RunGeneration(disk, in, sink);
        EXPECT_FALSE(result.written);
        EXPECT_EQ(result.failure.kind, c.failure.kind);
        EXPECT_EQ(RunMessage(result, in, c.style),
            "Die Suchdatei konnte nicht erstellt werden: " + in.outputPath + "\n" + c.reason);
    }
}
