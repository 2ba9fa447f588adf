// Scripts of several pages put in place together, after one sync.
#pragma once

#include "AtomicTextFile.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace quillomatic {

// Every script replaces its file whole or not at all, which takes the script
// on disk before the rename. An fsync() for each file costs more than
// converting a small page; here the scripts of several pages wait, complete
// (AtomicTextFile::Complete), until Commit() makes them durable with one
// syncfs() for each file system they are on and then renames each over its
// file. A page whose scripts cannot all be put in place fails alone.
class ReplacementGroup {
public:
    struct Outcome {
        std::size_t Page;
        std::string Failure; // empty when every script of the page is in place; a line a reason
        std::size_t Placed;  // the page's scripts put in place
    };

    // `failure`, where not empty, is reported for the page whatever Commit() finds.
    void Add(std::size_t page, std::vector<std::unique_ptr<AtomicTextFile>> scripts,
             std::string failure = {});
    // Scripts waiting, which hold a descriptor each.
    [[nodiscard]] std::size_t Waiting() const noexcept { return m_Waiting; }
    // Puts the scripts in place and empties the group; a page's outcome each,
    // in the order they were added.
    [[nodiscard]] std::vector<Outcome> Commit();

private:
    struct Page {
        std::size_t Index;
        std::vector<std::unique_ptr<AtomicTextFile>> Scripts;
        std::string Failure;
    };

    std::vector<Page> m_Pages;
    std::size_t m_Waiting = 0;
};

} // namespace quillomatic
