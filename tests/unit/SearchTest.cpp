#include "index/Search.h"

#include <gtest/gtest.h>

#include "link/Launcher.h"

namespace kv {
namespace {

FolderList ListOf(std::initializer_list<std::string_view> entries) {
    FolderList list;
    for (const auto entry : entries) list.Append(entry);
    return list;
}

std::vector<std::string_view> Found(const FolderList& list, std::string_view term) {
    std::vector<std::string_view> found;
    for (const std::size_t i : FindMatches(list, SearchKey(term))) found.push_back(list[i]);
    return found;
}

TEST(LastComponent, DropsTheLastByteThenTakesWhatFollowsTheLastBackslash) {
    struct Case {
        std::string_view entry, component;
    };
    for (const auto& [entry, component] : std::initializer_list<Case>{
             {"C:\\PROJECTS\\TMP\\", "TMP"},
             {"C:\\", "C:"},
             {"", ""},
             {"\\", ""},
             {"C:\\A\\\\", ""},
             {"NOSLASH", "NOSLAS"},  // the last byte goes whatever it is
             {"C:\\MY DOCS\\", "MY DOCS"},
         })
        EXPECT_EQ(LastComponent(entry), component) << entry;
}

TEST(FindMatches, OnlyTheLastComponentCounts) {
    const FolderList list = ListOf({"C:\\TMP\\", "D:\\WORK\\TMP\\OLD\\", "E:\\MYTMPFILES\\"});
    EXPECT_EQ(Found(list, "tmp"), (std::vector<std::string_view>{"C:\\TMP\\", "E:\\MYTMPFILES\\"}));
    EXPECT_EQ(Found(list, "WORK"), (std::vector<std::string_view>{}));
    EXPECT_EQ(Found(list, "TMP\\"), (std::vector<std::string_view>{}));
    EXPECT_EQ(Found(list, "\\"), (std::vector<std::string_view>{}));
    EXPECT_EQ(Found(list, "MYTMPFILES"), (std::vector<std::string_view>{"E:\\MYTMPFILES\\"}));
    EXPECT_EQ(Found(list, "MYTMPFILESX"), (std::vector<std::string_view>{}));
}

TEST(FindMatches, EdgesOfTheIndex) {
    const FolderList list = ListOf({"", "C:\\", "\\", "C:\\A B\\", "C:\\TMP\\", "C:\\TMP\\"});
    EXPECT_EQ(Found(list, "c:"), (std::vector<std::string_view>{"C:\\"}));
    EXPECT_EQ(Found(list, "a b"), (std::vector<std::string_view>{"C:\\A B\\"}));
    // Duplicates are listed as often as they occur, in index order.
    EXPECT_EQ(FindMatches(list, "TMP"), (std::vector<std::size_t>{4, 5}));
    // An empty key, which the command line never gives, matches nothing, not even empty lines.
    EXPECT_EQ(FindMatches(list, ""), (std::vector<std::size_t>{}));
    EXPECT_EQ(FindMatches(FolderList(), "TMP"), (std::vector<std::size_t>{}));
}

TEST(FindMatches, AccentedLettersMatchOnlyInTheCaseTheyAreStored) {
    // The scan upper-cases only a to z, so "Données" is stored as DONNéES.
    const FolderList list = ListOf({"C:\\DONN\xE9" "ES\\", "C:\\CAF\xC9\\"});
    EXPECT_EQ(Found(list, "donn\xE9" "es"), (std::vector<std::string_view>{}));
    EXPECT_EQ(Found(list, "DONN\xC9" "ES"), (std::vector<std::string_view>{}));
    EXPECT_EQ(Found(list, "donn"), (std::vector<std::string_view>{"C:\\DONN\xE9" "ES\\"}));
    EXPECT_EQ(Found(list, "caf\xE9"), (std::vector<std::string_view>{"C:\\CAF\xC9\\"}));
}

TEST(SearchKey, UpperCasesLikeCodePage1252) {
    EXPECT_EQ(SearchKey("tmp C:\\x"), "TMP C:\\X");
    EXPECT_EQ(SearchKey("\xE0\xE9\xF6\xF7\xF8\xFE\xFF\x9A\x9C\x9E\xB5\xDF"),
              "\xC0\xC9\xD6\xF7\xD8\xDE\x9F\x8A\x8C\x8E\xB5\xDF");
}

TEST(JumpParameters, QuotesTheEntryUnchanged) {
    EXPECT_EQ(JumpParameters("C:\\PROJECTS\\TMP\\"), "/O \"C:\\PROJECTS\\TMP\\\"");
    EXPECT_EQ(JumpParameters("D:\\My Files\\"), "/O \"D:\\My Files\\\"");
}

}  // namespace
}  // namespace kv
