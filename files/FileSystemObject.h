// The file services of the engine, the window and the companion.
//
// A FileSystemObject names, tests, opens and creates files; each open file is
// a TextStream, which owns its descriptor and reads or writes bytes as they
// are, or text in an encoding (TextEncoding: UTF-8, or Windows-1252 through
// CodePage1252; a UTF-16 page is read through a PageReader). Whatever replaces
// a file does so whole or not at all (AtomicTextFile), through a scratch file
// that ScratchFiles records so that a signal can remove it; the engine stages
// text it is given through a StagingFile. BackgroundWriter writes a stream on
// a thread of its own. StandardStreams settles descriptors 0 to 2 at start.
// Every failure is a ComponentError made by FileError, naming the file and
// the cause. Nothing here knows of the script formats or of Qt.
#pragma once

#include "TextStream.h"

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace quillomatic {

// Names, tests, opens and creates files: pages and scripts in UTF-8 or
// Windows-1252, and pages in UTF-16 too (see TextStream). A relative path is
// relative to the process's current folder. Failures are raised as
// ComponentError (see FileError) naming the file and the cause.
class FileSystemObject {
public:
    // Fresh random names collide only when someone plants files on purpose:
    // whoever makes a file under a fresh name gives up after this many tries,
    // well before that could keep the program busy.
    static constexpr int kFreshNameAttempts = 100;

    FileSystemObject();
    // Names from a fixed seed, for tests that must know the names in advance.
    explicit FileSystemObject(std::uint64_t seed);

    // A fresh random bare file name, "qm" and eight hexadecimal digits ".tmp".
    [[nodiscard]] std::string GetTempName();
    // Whether `name` is one GetTempName gives, as a clean-up of staging files asks.
    [[nodiscard]] static bool IsTempName(std::string_view name) noexcept;
    // True when `sPath` names an existing file (a folder is not a file).
    [[nodiscard]] bool FileExists(const std::string& sPath) const;
    // True when nothing at all is found at `sPath` through its links; a
    // folder, a socket or a loop of links is something, which opening it
    // then names.
    [[nodiscard]] bool NothingAt(const std::string& sPath) const;
    // Opens an existing file for reading.
    [[nodiscard]] TextStream OpenTextFile(const std::string& sPath) const;
    // Opens an existing regular file for reading, never waiting: anything else
    // (a FIFO, a device, a socket) is refused, since opening or reading it
    // could wait on another process for ever.
    [[nodiscard]] TextStream OpenRegularTextFile(const std::string& sPath) const;
    // Creates an empty file for writing. With `bOverwrite` a file of that name is
    // replaced. Without it the name must be free: the file is created exclusively,
    // never through a symbolic link, and readable and writable by its owner only,
    // the form for scratch files that hold the user's text.
    [[nodiscard]] TextStream CreateTextFile(const std::string& sPath, bool bOverwrite) const;

private:
    // Opens an existing file, not a folder, for reading with open()'s `flags` added.
    [[nodiscard]] static TextStream OpenForReading(const std::string& sPath, int flags);

    std::mt19937_64 m_Random;
};

} // namespace quillomatic
