// Writes a text file that replaces its target whole or not at all.
#pragma once

#include "TextStream.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillomatic {

// The text goes to a scratch file beside the target, which Commit() makes
// durable and renames over the target. A new file gets the permissions the
// umask leaves (or its folder's default ACL gives); a replaced one keeps the
// old file's owner, group, permissions and ACL (see Complete). Until then the target is untouched; a writer
// destroyed without Commit() removes its scratch file, so a failed save leaves
// the old file as it was and nothing half-written behind. Errors name the target.
//
// A target that exists and is not a regular file (a device, a FIFO, a socket)
// is opened and written directly instead: replacing it would put a regular
// file where the device was, and there is no old content to keep. A program
// that must never wait on another (the window) refuses to wait for such a
// file's reader: a FIFO nobody reads, or a reader that does not keep up, is
// then an error. A symbolic link is followed to the file it points to, which
// is then replaced as above.
class AtomicTextFile {
public:
    enum class Waiting { Allowed, Refused };

    explicit AtomicTextFile(std::string targetPath, Waiting waiting = Waiting::Allowed);
    ~AtomicTextFile();
    AtomicTextFile(const AtomicTextFile&) = delete;
    AtomicTextFile& operator=(const AtomicTextFile&) = delete;

    void Write(std::string_view sText, TextEncoding encoding);
    // The stream the text goes to, for writers that stream it.
    [[nodiscard]] TextStream& Stream() { return *m_Stream; }
    void Commit();

    // Commit() in two steps, for a caller that replaces many files and makes
    // them durable together, with one syncfs() on the Stream() of one of them
    // instead of an fsync() each: Complete() gives the scratch file its
    // permissions and leaves it open; once the caller has synced its file
    // system, CommitSynced() closes it and renames it over the target.
    void Complete();
    void CommitSynced();

    // Whether the text written so far is byte for byte the target's: a
    // caller that keeps a file unchanged (and its time stamp with it) drops
    // the writer instead of committing it. False where the target is missing,
    // is not a regular file, or either cannot be read.
    [[nodiscard]] bool SameAsTarget() const;

private:
    std::string m_TargetPath;  // the file the user named, or the file its link points to
    std::string m_ScratchPath; // empty once committed or removed, and when written in place
    bool m_WritesInPlace = false;
    std::optional<TextStream> m_Stream;
};

} // namespace quillomatic
