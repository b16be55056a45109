#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "ExpectedTexts.h"
#include "SettingsWindow.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

// Damaged files and absurd arguments: the program must end normally (exit code 0, no crash)
// whatever it shows on the way. These runs never scan: the settings window's helpers of the
// scan tests serve here only to watch and close that window.
class BadInput : public ScanTest {
protected:
    static std::string RandomBytes(size_t size, uint32_t seed) {
        std::string bytes(size, '\0');
        for (char& b : bytes) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<char>(seed >> 24);
        }
        return bytes;
    }

    void ExpectSettingsWindow(int language, int progress, const std::string& kept);

    static std::string Repeated(const std::string& before, size_t count, char c,
                                const std::string& after) {
        std::string text = before;
        text.append(count, c);
        return text.append(after);
    }
};

TEST_F(BadInput, AnIndexOfRandomBytes) {
    WriteSettings(0);
    WriteBytes("kovelar.dat", RandomBytes(512 * 1024, 7));
    // A term with a backslash never matches, so this run must end in the message.
    const Ending noMatch = Run(" \\");
    EXPECT_EQ(noMatch.exitCode, 0u);
    ASSERT_EQ(noMatch.boxes.size(), 1u);
    EXPECT_EQ(noMatch.boxes[0].text, NoMatchText(0, "\\"));
    // Without NULs, so that the whole file is searched; any outcome will do.
    std::string bytes = RandomBytes(512 * 1024, 11);
    for (char& b : bytes)
        if (b == '\0') b = 'A';
    WriteBytes("kovelar.dat", bytes);
    for (const std::string term : {"a", "\xE9", "\x80\xFF"}) {
        SCOPED_TRACE(term);
        const driver::Process process = Start(" " + term);
        EXPECT_EQ(Conclude(process, Millis{30000}).exitCode, 0u);
    }
}

TEST_F(BadInput, AnIndexOfOne50MegabyteLine) {
    WriteSettings(0);
    std::string line = "C:\\";
    line.append(50u << 20, 'A');
    line += "\\";
    WriteBytes("kovelar.dat", line);
    const Ending noMatch = Run(" B", Millis{60000});
    EXPECT_EQ(noMatch.exitCode, 0u);
    ASSERT_EQ(noMatch.boxes.size(), 1u);
    EXPECT_EQ(noMatch.boxes[0].text, NoMatchText(0, "B"));
    // A match: the jump gets a 50 MB parameter text, which no command line can carry, so the
    // file manager is never started; the promotion still runs and writes the one entry back,
    // now with its CR LF.
    const driver::Process process = Start(" AAAA");
    const Ending match = Conclude(process, Millis{120000});
    EXPECT_EQ(match.exitCode, 0u);
    for (const auto& box : match.boxes) ADD_FAILURE() << "message box: " << box.text.substr(0, 200);
    EXPECT_TRUE(TotalcmdCalls().empty());
    EXPECT_TRUE(ReadBytes("kovelar.dat") == line + "\r\n") << "the index lost its one entry";
}

// Entries far longer than any path, in the result list: the one picked is read back from the
// list whole, byte for byte (accented and undefined code-page bytes included), jumped to and
// promoted.
TEST_F(BadInput, EntriesOfThousandsOfBytesInTheList) {
    WriteSettings(1);
    const std::string tail = "\xE9\x81\x9D\xFF" + std::string(3000, 'b') + "\\";
    const std::vector<std::string> entries = {"C:\\LONG1" + tail, "C:\\LONG2" + tail};
    WriteIndex(entries);
    const driver::Process process = Start(" long");
    const MainWindow main = WaitMain(process);
    ASSERT_TRUE(main);
    EXPECT_EQ(driver::ListItems(main.list), entries);
    SendMessageA(main.list, LB_SETCURSEL, 1, 0);
    driver::PostKey(main.list, VK_RETURN);
    const Ending ending = WaitEnd(process);
    EXPECT_EQ(ending.exitCode, 0u);
    EXPECT_TRUE(ending.boxes.empty());
    EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"" + entries[1] + "\""});
    EXPECT_EQ(ReadBytes("kovelar.dat"), IndexBytes({entries[1], entries[0]}));
}

// A data folder that does not exist: no index, so the settings window; its first save
// cannot create the settings file there and says so.
TEST_F(BadInput, ACommanderPathNamingNoFolder) {
    const std::string missing = Folder() + "missing";
    const driver::Process process = Start("", missing);
    std::vector<driver::MessageBoxInfo> boxes;
    const HWND settings = WaitWindowAnsweringBoxes(process, "TfInstellingen", boxes);
    ASSERT_TRUE(settings);
    const std::string ini = missing + "\\kovelar.ini";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, kErrorCaption);
    EXPECT_EQ(boxes[0].text, WriteFailedText(ini) + "\r\nUnable to write to " + ini);
    driver::ClickButton(GetDlgItem(settings, ids::bKlaar));
    EXPECT_EQ(Conclude(process).exitCode, 0u);
}

// The platform refuses a command line of more than 32767 characters, so a 100,000-byte
// argument never reaches a program; the longest one that does is used instead, inside and
// outside quotes.
TEST_F(BadInput, TheLongestArguments) {
    WriteIndex({"C:\\TMP\\"});
    WriteSettings(0);
    const std::string program = Quoted(kProgram);
    EXPECT_FALSE(driver::Launch({kProgram, Repeated(program + " ", 100000, 'a', ""), Folder(), {}}))
        << "the platform passed on a 100,000-byte command line";
    const size_t longest = 32767 - program.size() - 4;
    for (const std::string& tail :
         {Repeated(" ", longest, 'a', ""), Repeated(" \"", longest, 'a', "\""),
          Repeated(" \"", longest, ' ', "\"")}) {
        SCOPED_TRACE(tail.substr(0, 2));
        const driver::Process process = Start(tail);
        ASSERT_TRUE(process);
        const Ending ending = Conclude(process);
        EXPECT_EQ(ending.exitCode, 0u);
    }
}

namespace {

// A handle of the test's own on a file, held until the end of the scope: what another program
// holding the index open looks like to kovelar.exe.
class HeldFile {
public:
    HeldFile(const std::string& path, DWORD access, DWORD share)
        : handle_(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int ProgressMax(const SettingsWindow& settings) {
    return static_cast<int>(SendMessageA(settings.Progress, PBM_GETRANGE, FALSE, 0));
}

// A settings value as the profile functions read it, which is how the program reads it.
std::string ProfileValue(const std::string& path, const char* key) {
    char value[4096] = {};
    GetPrivateProfileStringA("Gebruik", key, "<missing>", value, sizeof value, path.c_str());
    return value;
}

}  // namespace

// A folder named kovelar.dat is no index that can be read: the program does what it does
// without an index (the settings window, no message), with or without a term, and leaves the
// folder and what it holds alone.
TEST_F(BadInput, AnIndexThatIsAFolder) {
    WriteSettings(1);
    ASSERT_TRUE(CreateDirectoryA(PathOf("kovelar.dat").c_str(), nullptr));
    WriteBytes("kovelar.dat\\inside.txt", "kept");
    for (const std::string tail : {"", " tmp"}) {
        SCOPED_TRACE(tail);
        const driver::Process process = Start(tail);
        const SettingsWindow settings = StartSettings(process);
        ASSERT_TRUE(settings);
        EXPECT_EQ(settings.Caption(), TextsOf(1).caption);
        Leave(process, settings);
        EXPECT_TRUE(IsFolder(PathOf("kovelar.dat")));
        EXPECT_EQ(ReadBytes("kovelar.dat\\inside.txt"), "kept");
        EXPECT_TRUE(TotalcmdCalls().empty());
    }
}

// Another program holds the index open. Locked against reading at the start, it is an index
// that cannot be loaded: the settings window, no message. Open for reading only, the search
// reads it but the promotion cannot replace it; locked while the result window waits, the
// promotion cannot read it again. Each time the jump still happens, one error box names the
// index, and the file stays byte for byte as it was, with no new file left beside it.
TEST_F(BadInput, AnIndexHeldOpenByAnotherProgram) {
    const std::vector<std::string> entries = {"C:\\TMP\\", "C:\\WORK\\", "C:\\OLD\\TMP\\"};
    const std::string old = IndexBytes(entries);
    const std::string index = PathOf("kovelar.dat");
    enum class When { BeforeTheStart, WhileTheListWaits };
    struct Case {
        const char* what;
        DWORD access, share;
        When when;
        std::string tail;
        bool loads;  // the program can read the index at its start
    };
    const Case cases[] = {
        {"locked at the start", GENERIC_READ | GENERIC_WRITE, 0, When::BeforeTheStart, " tmp",
         false},
        {"open for reading during a jump", GENERIC_READ, FILE_SHARE_READ, When::BeforeTheStart,
         " work", true},
        {"locked while the list waits", GENERIC_READ | GENERIC_WRITE, 0, When::WhileTheListWaits,
         " tmp", true},
    };
    WriteSettings(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes("kovelar.dat", old);
        DeleteFileA(PathOf("totalcmd.log").c_str());
        std::unique_ptr<HeldFile> held;
        if (c.when == When::BeforeTheStart) {
            held = std::make_unique<HeldFile>(index, c.access, c.share);
            ASSERT_TRUE(*held);
        }
        const driver::Process process = Start(c.tail);
        Ending ending;
        if (!c.loads) {
            const SettingsWindow settings = StartSettings(process);
            ASSERT_TRUE(settings);
            Leave(process, settings);
            EXPECT_TRUE(TotalcmdCalls().empty());
        } else {
            if (c.when == When::WhileTheListWaits) {
                const MainWindow main = WaitMain(process);
                ASSERT_TRUE(main);
                ASSERT_EQ(driver::ListItems(main.list),
                          (std::vector<std::string>{"C:\\TMP\\", "C:\\OLD\\TMP\\"}));
                held = std::make_unique<HeldFile>(index, c.access, c.share);
                ASSERT_TRUE(*held);
                SendMessageA(main.list, LB_SETCURSEL, 1, 0);
                driver::PostKey(main.list, VK_RETURN);
            }
            ending = WaitEnd(process);
            EXPECT_EQ(ending.exitCode, 0u);
            ASSERT_EQ(ending.boxes.size(), 1u);
            EXPECT_EQ(ending.boxes[0].text, WriteFailedText(index));
            EXPECT_EQ(ending.boxes[0].caption, kErrorCaption);
            const std::string jumped =
                c.when == When::WhileTheListWaits ? "C:\\OLD\\TMP\\" : "C:\\WORK\\";
            EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"" + jumped + "\""});
        }
        held.reset();
        EXPECT_EQ(ReadBytes("kovelar.dat"), old);
        EXPECT_FALSE(ReadBytes("kovelar.dat.new")) << "a failed save leaves no new file behind";
    }
}

namespace {

// The last component of an entry, by the plain rule: without its last byte, after the last
// backslash.
std::string_view LastComponent(std::string_view entry) {
    if (entry.empty()) return entry;
    entry.remove_suffix(1);
    const size_t slash = entry.rfind('\\');
    return slash == std::string_view::npos ? entry : entry.substr(slash + 1);
}

// The entries whose last component holds `key`, in index order; the count stops past `limit`.
std::vector<size_t> MatchesOf(const std::vector<std::string_view>& entries, std::string_view key,
                              size_t limit = SIZE_MAX) {
    std::vector<size_t> found;
    for (size_t i = 0; i < entries.size() && found.size() <= limit; ++i)
        if (LastComponent(entries[i]).find(key) != std::string_view::npos) found.push_back(i);
    return found;
}

std::vector<std::string_view> SplitEntries(std::string_view bytes) {
    std::vector<std::string_view> entries;
    while (!bytes.empty()) {
        const size_t end = bytes.find("\r\n");
        entries.push_back(bytes.substr(0, end));
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 2);
    }
    return entries;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// A search key of plain letters, digits and _.- (which every locale upper-cases alike): the
// last component of an entry from `from` on, whose matches number between `fewest` and `most`.
// Only names that are themselves the last component of that many entries are tried, as a
// name can only match more entries than carry it whole. Empty when there is none.
std::string FindKey(const std::vector<std::string_view>& entries, size_t from, size_t fewest,
                    size_t most) {
    std::unordered_map<std::string_view, size_t> carriers;
    for (const std::string_view entry : entries) ++carriers[LastComponent(entry)];
    for (size_t i = from; i < entries.size(); ++i) {
        const std::string_view name = LastComponent(entries[i]);
        const size_t whole = carriers[name];
        if (whole < fewest || whole > most || name.size() < 6 ||
            name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.-") !=
                std::string_view::npos)
            continue;
        const size_t count = MatchesOf(entries, name, most).size();
        if (count >= fewest && count <= most) return std::string(name);
    }
    return {};
}

}  // namespace

// The index of two million entries that the harness makes (a realistic tree of three drives):
// a term of many matches lists exactly the entries whose last component holds it, in index
// order, and leaves the file alone; a term of one match jumps, and the file is then the same
// lines with the match first.
TEST_F(BadInput, AnIndexOfTwoMillionEntries) {
    const std::string fixture = "C:\\kvfixtures\\index2m.dat";
    ASSERT_TRUE(CopyFileA(fixture.c_str(), PathOf("kovelar.dat").c_str(), FALSE))
        << fixture << " missing: harness.sh setup makes it with shared/bench/make-index.py";
    const std::string bytes = *ReadBytes("kovelar.dat");
    const std::vector<std::string_view> entries = SplitEntries(bytes);
    ASSERT_EQ(entries.size(), 2000000u);
    WriteSettings(1);

    // The terms are typed in lower case; the program upper-cases them.
    const std::string manyKey = FindKey(entries, entries.size() / 3, 200, 5000);
    ASSERT_FALSE(manyKey.empty()) << "no term of a few hundred matches in the index";
    {
        const std::string many = AsciiLower(manyKey);
        SCOPED_TRACE(many);
        const std::vector<size_t> matches = MatchesOf(entries, manyKey);
        const driver::Process process = Start(" " + many);
        const MainWindow main = WaitMain(process, Millis{120000});
        ASSERT_TRUE(main);
        std::vector<std::string> expected;
        for (const size_t i : matches) expected.emplace_back(entries[i]);
        EXPECT_EQ(driver::WindowText(main.window),
                  ManyMatchesText(1, static_cast<int>(matches.size()), many));
        EXPECT_TRUE(driver::ListItems(main.list) == expected) << "the list is not the matches";
        driver::PostKey(main.list, VK_ESCAPE);
        const Ending ending = WaitEnd(process);
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty());
        EXPECT_TRUE(ReadBytes("kovelar.dat") == bytes) << "the index changed without a jump";
    }

    const std::string oneKey = FindKey(entries, entries.size() / 2, 1, 1);
    ASSERT_FALSE(oneKey.empty()) << "no term of a single match in the index";
    const std::string one = AsciiLower(oneKey);
    SCOPED_TRACE(one);
    const size_t at = MatchesOf(entries, oneKey).at(0);
    const Ending ending = Run(" " + one, Millis{120000});
    EXPECT_EQ(ending.exitCode, 0u);
    EXPECT_TRUE(ending.boxes.empty());
    EXPECT_EQ(WaitTotalcmdCalls(1),
              std::vector<std::string>{" /O \"" + std::string(entries[at]) + "\""});
    std::string promoted = std::string(entries[at]) + "\r\n";
    const size_t start = static_cast<size_t>(entries[at].data() - bytes.data());
    promoted.append(bytes, 0, start);
    promoted.append(bytes, start + entries[at].size() + 2);
    const auto after = ReadBytes("kovelar.dat");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->size(), bytes.size());
    EXPECT_TRUE(*after == promoted) << "the index is not the old one with the match first";
}

// A data folder that cannot hold the data files: a COMMANDER_PATH too long for the platform's
// paths, one that names a file, or the test's own folder with blanks after its name. The value
// is taken as it stands, and a folder name followed by blanks and a backslash is another name,
// which does not exist. As with a missing folder: no index, so the settings window, whose
// first save says in one error box that the settings file cannot be written there (the quotes
// show the blanks); the data folder's own files and the file that the variable names stay as
// they were.
TEST_F(BadInput, ACommanderPathThatCannotHoldTheDataFiles) {
    WriteIndex({"C:\\TMP\\"});
    WriteBytes("afile", "not a folder");
    std::string tooLong = Folder() + "deep";
    while (tooLong.size() < 2000) tooLong += "\\abcdefghijklmnopqrstuvwxyz";
    tooLong.resize(2000);
    struct Case {
        const char* what;
        std::string value;
    };
    const std::string blanks = Folder().substr(0, Folder().size() - 1) + "   ";
    for (const Case& c : {Case{"2,000 characters", tooLong}, Case{"a file", PathOf("afile")},
                          Case{"trailing blanks", blanks}}) {
        SCOPED_TRACE(c.what);
        const driver::Process process = Start("", c.value);
        std::vector<driver::MessageBoxInfo> boxes;
        const HWND settings = WaitWindowAnsweringBoxes(process, "TfInstellingen", boxes);
        ASSERT_TRUE(settings);
        const std::string ini = c.value + "\\kovelar.ini";
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, kErrorCaption);
        EXPECT_EQ(boxes[0].text, WriteFailedText(ini) + "\r\nUnable to write to " + ini);
        driver::ClickButton(GetDlgItem(settings, ids::bKlaar));
        const Ending ending = Conclude(process);
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty());
        EXPECT_EQ(ReadBytes("afile"), "not a folder");
        EXPECT_EQ(ReadBytes("kovelar.dat"), IndexBytes({"C:\\TMP\\"}));
        EXPECT_FALSE(ReadBytes("kovelar.ini"));
    }
}

// What a settings file that the program did not write gives. `language` is the code that the
// settings window shows (-1: none, the window description's texts) and `progress` the scale of
// the progress bar. The window then stores a language picked by the user, and the file must
// come out sound: the three keys readable with the values the program holds, and the lines
// it does not know (`kept`) still whole.
void BadInput::ExpectSettingsWindow(int language, int progress, const std::string& kept) {
    const driver::Process process = Start("");
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings.Caption(), language < 0 ? kDesignCaption : TextsOf(language).caption);
    EXPECT_EQ(settings.Text(settings.eNaam), TotalcmdPath());
    EXPECT_EQ(ProgressMax(settings), progress);

    const int picked = language == 1 ? 2 : 1;
    driver::ClickButton(settings.rgTaal[picked]);
    EXPECT_TRUE(driver::WaitUntil([&] { return settings.Caption() == TextsOf(picked).caption; }));
    const std::string ini = PathOf("kovelar.ini");
    EXPECT_EQ(ProfileValue(ini, "Taal"), std::to_string(picked));
    EXPECT_EQ(ProfileValue(ini, "Progress"), std::to_string(progress));
    EXPECT_EQ(ProfileValue(ini, "Pad"), TotalcmdPath());
    const auto bytes = ReadBytes("kovelar.ini");
    ASSERT_TRUE(bytes);
    for (const std::string line : {"[Gebruik]\r\n", "\r\nTaal=", "\r\nProgress=", "\r\nPad="})
        EXPECT_NE(bytes->find(line), std::string::npos) << line;
    if (!kept.empty()) {
        EXPECT_NE(bytes->find(kept), std::string::npos) << "a line was not kept";
    }
    Leave(process, settings);
}

// Lines of a megabyte and bytes of no text at all (NULs, a CR without its LF) around the
// program's keys: the keys are read as the profile functions find them, a value too long for
// them counts as unreadable, and nothing crashes.
TEST_F(BadInput, ASettingsFileWithHugeLinesOrGarbage) {
    WriteIndex({"C:\\TMP\\"});
    const std::string pad = "Pad=" + TotalcmdPath() + "\r\n";
    const std::string mega(1u << 20, 'x');
    std::string garbage = RandomBytes(64 * 1024, 5);
    garbage[0] = '\x01';  // no byte-order mark, which would make it a text of another kind
    garbage.insert(100, std::string("\0\0\r\r", 4));
    struct Case {
        const char* what;
        std::string bytes;
        int language, progress;
        std::string kept;
    };
    const Case cases[] = {
        {"an unknown key of 1 MB",
         "[Gebruik]\r\n" + pad + "Taal=1\r\nRuis=" + mega + "\r\nProgress=77\r\n", 1, 77,
         "Ruis=" + mega + "\r\n"},
        {"a line of 1 MB before the section", mega + "\r\n[Gebruik]\r\n" + pad + "Taal=2\r\n", 2,
         1000, mega + "\r\n"},
        {"a language of 1 MB",
         "[Gebruik]\r\n" + pad + "Taal=" + std::string(1u << 20, '1') + "\r\n", 0, 1000, ""},
        {"garbage before the section",
         garbage + "\r\n[Gebruik]\r\n" + pad + "Taal=3\r\nProgress=55\r\n", 3, 55, ""},
        {"garbage in a section of its own",
         "[Gebruik]\r\n" + pad + "Taal=3\r\nProgress=55\r\n[Ruis]\r\n" + garbage, 3, 55, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes("kovelar.ini", c.bytes);
        ExpectSettingsWindow(c.language, c.progress, c.kept);
    }
}

// Integers that are no 32-bit numbers count as unreadable (the key's default); those that are,
// however absurd, are taken as they stand and stored again as they were read.
TEST_F(BadInput, AbsurdNumbersInTheSettingsFile) {
    WriteIndex({"C:\\TMP\\"});
    struct Case {
        std::string lines;
        int language, progress;
    };
    const Case cases[] = {
        {"Taal=99999999999\r\nProgress=99999999999", 0, 1000},
        {"Taal=-2147483649\r\nProgress=0x1FFFFFFFF", 0, 1000},
        // A code above 3 selects the last language, which counts as the user's choice.
        {"Taal=0x7FFFFFFF\r\nProgress=-2147483648", 3, INT32_MIN},
        {"Taal=$FFFFFFFF\r\nProgress=2147483647", -1, INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        WriteBytes("kovelar.ini", "[Gebruik]\r\nPad=" + TotalcmdPath() + "\r\n" + c.lines + "\r\n");
        ExpectSettingsWindow(c.language, c.progress, "");
    }
}

}  // namespace kv::e2e
