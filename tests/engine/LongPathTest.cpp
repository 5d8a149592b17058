// Paths longer than the system takes whole (PATH_MAX): a deep tree, a short name beside a path at
// the limit. Every path the file system holds is backed up, and what cannot be is one line.

#include "platform/posix/PosixFileSystem.h"
#include "support/EngineRun.h"
#include "support/Shell.h"
#include "support/TreeBuilder.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// Python walks and makes such trees through folder descriptors, as no path-taking tool can.
const char* const MakeDeepTree = R"(
import os, sys
root, limit = sys.argv[1], int(sys.argv[2])
fd = os.open(root, os.O_RDONLY)
path = root
while len(path) < limit:
    os.mkdir('d' * 200, dir_fd=fd)
    sub = os.open('d' * 200, os.O_RDONLY, dir_fd=fd)
    os.close(fd)
    fd, path = sub, path + '/' + 'd' * 200
    with open(os.open('x', os.O_WRONLY | os.O_CREAT, dir_fd=fd), 'w') as f:
        f.write(str(len(path)))
)";

const char* const ListTree = R"(
import os, sys
lines = []
for top, dirs, files, fd in os.fwalk(sys.argv[1]):
    for name in files:
        if '.tresorio-' in name or 'Generation.' in top:
            continue
        with open(os.open(name, os.O_RDONLY, dir_fd=fd)) as f:
            lines.append('%d %s %s' % (os.path.relpath(os.path.join(top, name), sys.argv[1]).count('/'), name, f.read()))
print('\n'.join(sorted(lines)))
)";

class LongPathTest : public EngineRun
{
protected:
    PosixFileSystem files;

    ~LongPathTest() override { RunShell("rm -rf " + dir.path().string() + "/*"); }

    std::string python(const char* program, const std::string& arguments)
    {
        const auto script = dir / "skript.py";
        WriteFileBytes(script, program);
        return RunShell("python3 " + script.string() + " " + arguments).second;
    }
};

TEST_F(LongPathTest, ATreeDeeperThanPathMaxIsBackedUpWhole)
{
    // The source goes 600 bytes past the limit; the destination's paths are longer still.
    python(MakeDeepTree, src.string() + " " + std::to_string(PATH_MAX + 600));
    const std::string tree = python(ListTree, src.string());
    ASSERT_EQ(std::count(tree.begin(), tree.end(), '\n'), 24) << tree;
    for (const bool archive : {false, true}) {
        TProfile p = profile(BackupFull);
        p.Generations = 3;
        p.Verify = true;
        p.Compress = archive;
        p.Zipfile = "tief.zip";
        for (int n = 1; n <= 2; ++n) {
            const RunResult r = run(files, p);
            EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
            EXPECT_EQ(r.filesDone, 24);
        }
        if (archive) {
            // unzip stops at names of 4 KiB; 7-Zip reads them.
            const auto [readable, said] = RunShell("7z t " + (dst / "tief.zip").string());
            EXPECT_TRUE(readable) << said;
        } else
            EXPECT_EQ(python(ListTree, dst.string()), tree);
        RunShell("rm -rf " + dst.string());
    }
}

} // namespace
