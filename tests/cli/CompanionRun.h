// A test that runs the real quillomatic-convert in a folder of its own.
#pragma once

#include "FileBytes.h"
#include "ShellCommand.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>
#include <string>

namespace quillomatic::testing {

// The unprivileged user, to whom file permissions apply, unlike to root.
inline const std::string kAsNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups";

// A file of the engine's golden data: the worked example and its scripts.
inline std::string DataFile(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/" + name;
}

class CompanionRun : public ::testing::Test {
protected:
    // Runs the program in the test's folder with `arguments`; `prefix` goes
    // before it on the command line (a pipe into it, a limit, another user).
    // Standard error goes to "stderr.txt" there.
    ShellResult Convert(const std::string& arguments, const std::string& prefix = {}) {
        return RunShell("cd " + ShellQuoted(folder.Path().string()) + " && " + prefix + " " +
                        QUILLOMATIC_CONVERT + " " + arguments + " 2>" +
                        ShellQuoted(folder / "stderr.txt"));
    }
    std::string Errors() { return ReadBytes(folder / "stderr.txt"); }

    TemporaryFolder folder;
};

} // namespace quillomatic::testing
