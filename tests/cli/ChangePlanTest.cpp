// What a watch converts and removes for the changes it finds, apart from the kernel.
#include "ChangePlan.h"

#include <gtest/gtest.h>

namespace quillomatic {
namespace {

// A page of the site at "PATH.EXT", named "PATH"; its stamp stands for one
// state of its file, and a stamp below 0 for a page named that does not exist.
ScannedPage Page(const std::string& path, int stamp) {
    SitePage page{path, path.substr(0, path.rfind('.')), {}};
    if (stamp < 0) {
        return {page, std::nullopt};
    }
    return {page, PageStamp{.Modified = stamp}};
}

ScannedPage Failure(const std::string& folder) {
    return {{folder, {}, "Cannot convert \"" + folder + "\": no file in it ends in .html or .htm."},
            std::nullopt};
}

std::vector<std::string> Paths(const std::vector<SitePage>& pages) {
    std::vector<std::string> paths;
    for (const SitePage& page : pages) {
        paths.push_back(page.Path);
    }
    return paths;
}

using Strings = std::vector<std::string>;

TEST(ChangePlan, EachRuleOfWhatToConvertAndWhatToRemove) {
    const struct {
        const char* Rule;
        std::vector<ScannedPage> Before, Now;
        std::set<std::string> Touched, Retried;
        Strings Unreadable, Converted, Clashing, Gone;
    } kRows[] = {
        {"nothing changed", {Page("a.html", 1)}, {Page("a.html", 1)}, {}, {}, {}, {}, {}, {}},
        {"saved, new, or seen saved within the stamps' granularity",
         {Page("a.html", 1), Page("b.html", 1), Page("c/c.html", 1)},
         {Page("a.html", 2), Page("b.html", 1), Page("c/c.html", 1), Page("d.html", 1)},
         {"./c//c.html"},
         {},
         {},
         {"a.html", "c/c.html", "d.html"},
         {},
         {}},
        {"failed last time",
         {Page("a.html", 1)},
         {Page("a.html", 1)},
         {},
         {"a.html"},
         {},
         {"a.html"},
         {},
         {}},
        {"deleted",
         {Page("a.html", 1), Page("b.html", 1)},
         {Page("b.html", 1)},
         {},
         {},
         {},
         {},
         {},
         {"a"}},
        {"renamed", {Page("a.html", 1)}, {Page("z.html", 1)}, {}, {}, {}, {"z.html"}, {}, {"a"}},
        {"renamed under the same name",
         {Page("i.html", 1)},
         {Page("i.htm", 1)},
         {},
         {},
         {},
         {"i.htm"},
         {},
         {}},
        {"in a folder that cannot be read now",
         {Page("p/a.html", 1)},
         {},
         {},
         {},
         {"p"},
         {},
         {},
         {}},
        {"sharing a name",
         {Page("i.html", 1)},
         {Page("i.htm", 1), Page("i.html", 1)},
         {},
         {},
         {},
         {},
         {"i.htm", "i.html"},
         {}},
        {"a folder's failure when it appears", {}, {Failure("e")}, {}, {}, {}, {"e"}, {}, {}},
        {"a folder's failure seen before", {Failure("e")}, {Failure("e")}, {}, {}, {}, {}, {}, {}},
        {"named and missing when first seen",
         {},
         {Page("m.html", -1)},
         {},
         {},
         {},
         {"m.html"},
         {},
         {}},
        {"named and gone", {Page("m.html", 1)}, {Page("m.html", -1)}, {}, {}, {}, {}, {}, {"m"}},
    };
    for (const auto& row : kRows) {
        const SiteSnapshot now(row.Now, row.Unreadable);
        const ChangePlan plan(SiteSnapshot(row.Before, {}), now, row.Touched, row.Retried);
        EXPECT_EQ(Paths(plan.Pages()), row.Converted) << row.Rule;
        EXPECT_EQ(Paths(plan.Clashing()), row.Clashing) << row.Rule;
        EXPECT_EQ(plan.GoneNames(), row.Gone) << row.Rule;
        EXPECT_EQ(plan.IsEmpty(), row.Converted.empty() && row.Clashing.empty() && row.Gone.empty())
            << row.Rule;
        // Compared with what it leaves, the same site again holds nothing to do.
        EXPECT_TRUE(ChangePlan(plan.Baseline(), now, {}, {}).IsEmpty()) << row.Rule;
    }
}

TEST(ChangePlan, APageInAFolderThatCannotBeReadIsComparedOnceItCanBe) {
    const SiteSnapshot before({Page("p/a.html", 1), Page("p/b.html", 1)}, {});
    const ChangePlan hidden(before, SiteSnapshot({}, {"p"}), {}, {});
    const ChangePlan back(hidden.Baseline(), SiteSnapshot({Page("p/a.html", 2)}, {}), {}, {});
    EXPECT_EQ(Paths(back.Pages()), Strings{"p/a.html"});
    EXPECT_EQ(back.GoneNames(), Strings{"p/b"});
}

} // namespace
} // namespace quillomatic
