#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string_view>

#include "ExpectedTexts.h"
#include "HarnessClient.h"
#include "KovelarTest.h"
#include "SettingsWindow.h"

// Proofs that no way a save can end loses the index: a kill at any moment of it, a disk that
// fills up under it, a long series of jumps. Each writes the whole index again, so a fault
// shows as a file that is neither the old index nor the new one.
//
// The counts of the long runs come from the environment, so that the full runs use the same
// code as the shorter ones that ctest makes every time:
//   KV_SAVE_KILLS   kills during a save of a 2,000,000-entry index (default 25, full run 200)
//   KV_JUMPS        jumps in a row on a 100,000-entry index (default 200, full run 1000)
//   KV_STRESS_SEED  the seed of the kill moments and of the terms (default: a new one, printed)
// The full runs, from the repository, with the build in $B and S=$B/tests/wine/wine-state,
// E=$B/win/tests/wine/bin/kv_e2e.exe (the ctest entries wine.<group> stop after 15 minutes,
// so the full runs go through the harness directly):
//   bash tests/wine/harness.sh setup $S
//   KV_SAVE_KILLS=200 KV_RUN_TIMEOUT=3600 bash tests/wine/harness.sh run $S $E --gtest_filter=KillDuringSave.*
//   KV_JUMPS=1000 KV_RUN_TIMEOUT=3600 bash tests/wine/harness.sh run $S $E --gtest_filter=ManyJumps.*
//   bash tests/wine/harness.sh cleanup $S

namespace kv::e2e {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The seed is printed, so that a failing run can be repeated with KV_STRESS_SEED.
unsigned Seed() {
    static const unsigned seed = [] {
        char value[32] = {};
        const DWORD length = GetEnvironmentVariableA("KV_STRESS_SEED", value, sizeof value);
        const unsigned chosen = length > 0 && length < sizeof value
                                    ? static_cast<unsigned>(std::strtoul(value, nullptr, 10))
                                    : std::random_device{}();
        std::printf("[ seed     ] KV_STRESS_SEED=%u\n", chosen);
        return chosen;
    }();
    return seed;
}

// Asks the harness for a fault that only root on the Linux side can make (tests/wine/faults.sh),
// through the same request files as driver::SetImmutable, and waits for its answer: true when
// it confirms. The wait is long because the first index of 2,000,000 entries takes make-index.py
// a minute or more; later ones are copies.
bool AskHarness(const std::string& operation, const std::string& path, Millis timeout) {
    static int counter = 0;
    const std::string id =
        std::to_string(GetCurrentProcessId()) + "-fault" + std::to_string(++counter);
    const std::string folder = "C:\\kvharness\\";
    const std::string request = folder + "req-" + id + ".txt";
    const std::string done = folder + "done-" + id + ".txt";
    const std::string partial = request + ".part";
    {
        const std::string text = operation + "\r\n" + path + "\r\n";
        const HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written,
                                  nullptr) &&
                        written == text.size();
        CloseHandle(file);
        if (!ok) return false;
    }
    // Renamed into place, so the harness never reads half a request.
    if (!MoveFileExA(partial.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    if (!driver::WaitUntil(
            [&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeout)) {
        DeleteFileA(request.c_str());
        return false;
    }
    char answer = 0;
    const HANDLE file = CreateFileA(done.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD read = 0;
        ReadFile(file, &answer, 1, &read, nullptr);
        CloseHandle(file);
    }
    DeleteFileA(done.c_str());
    return answer == '0';
}

// A whole file in one read (the stream helpers of the fixture take seconds for 170 MB).
std::optional<std::string> ReadWhole(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size)) {
        std::string content(static_cast<size_t>(size.QuadPart), '\0');
        size_t done = 0;
        DWORD read = 0;
        while (done < content.size() &&
               ReadFile(file, content.data() + done,
                        static_cast<DWORD>(std::min<size_t>(content.size() - done, 1u << 26)), &read,
                        nullptr) &&
               read > 0)
            done += read;
        if (done == content.size()) bytes = std::move(content);
    }
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The lines of an index that ends every line with CR LF, as views into `bytes`.
std::vector<std::string_view> Lines(const std::string& bytes) {
    std::vector<std::string_view> lines;
    const std::string_view all(bytes);
    for (size_t start = 0; start < all.size();) {
        const size_t end = all.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(all.substr(start));
            break;
        }
        lines.push_back(all.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The part of an entry that a term is looked for in: the entry without its last character, after
// its last backslash.
std::string_view LastComponent(std::string_view entry) {
    if (entry.empty()) return entry;
    entry.remove_suffix(1);
    const size_t slash = entry.rfind('\\');
    return slash == std::string_view::npos ? entry : entry.substr(slash + 1);
}

// Bytes that every code page leaves as they are when it upper-cases a term, and that need no
// quotes on a command line.
bool PlainTerm(std::string_view text) {
    return text.size() >= 4 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                      c == '.';
           });
}

struct OneMatch {
    std::string term;
    std::string entry;
};

// Up to `wanted` terms, in an order drawn from the seed, each of which matches exactly one entry
// of the index: a whole last component that occurs in no other entry's last component. The
// components are looked through in one text, each followed by a backslash, which no plain term
// holds, so that a term found once there is in one component only.
std::vector<OneMatch> TermsMatchingOneEntry(const std::vector<std::string_view>& entries,
                                            size_t wanted) {
    std::string components;
    std::vector<size_t> candidates;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string_view component = LastComponent(entries[i]);
        components.append(component).push_back('\\');
        if (PlainTerm(component)) candidates.push_back(i);
    }
    std::mt19937 random(Seed());
    std::shuffle(candidates.begin(), candidates.end(), random);
    std::vector<OneMatch> found;
    for (const size_t i : candidates) {
        if (found.size() == wanted) break;
        const std::string_view term = LastComponent(entries[i]);
        const size_t first = components.find(term);
        if (first != std::string::npos && components.find(term, first + 1) == std::string::npos)
            found.push_back({std::string(term), std::string(entries[i])});
    }
    return found;
}

// The index file after a jump to `entry`: the entry first, every other line after it in its
// old order.
std::string Promoted(const std::string& index, const std::string& entry) {
    const std::string line = entry + "\r\n";
    if (index.compare(0, line.size(), line) == 0) return index;
    const size_t at = index.find("\r\n" + line);
    if (at == std::string::npos) return {};
    std::string result;
    result.reserve(index.size());
    result.append(line).append(index, 0, at + 2).append(index, at + 2 + line.size());
    return result;
}

double Seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

}  // namespace

// --- a kill at any moment of a save --------------------------------------------------------

class KillDuringSave : public KovelarTest {
protected:
    std::string NewFile() const { return PathOf("kovelar.dat.new"); }

    // What a look at the new file from outside shows: whether it is there, and when it was last
    // written, which changes as soon as a save makes it afresh over a leftover one.
    struct Look {
        bool present = false;
        FILETIME written{};
    };
    Look LookAtNewFile() const {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(NewFile().c_str(), GetFileExInfoStandard, &data)) return {};
        return {true, data.ftLastWriteTime};
    }
    static bool SaveBegan(const Look& before, const Look& now) {
        return now.present && (!before.present || CompareFileTime(&now.written, &before.written));
    }
};

// A new file left by an earlier run that was killed mid-save (here longer than the index and
// full of junk) is simply overwritten: the next save gives exactly the promoted index and takes
// the leftover away.
TEST_F(KillDuringSave, ALeftoverNewFileDoesNotHarmTheNextSave) {
    const std::string index = IndexBytes({"C:\\E0\\", "C:\\E1\\", "C:\\TMP\\", "C:\\E3\\"});
    WriteBytes("kovelar.dat", index);
    WriteBytes("kovelar.dat.new", std::string(64 * 1024, 'x') + "C:\\HALF");
    WriteSettings(1);
    const Ending ending = Run(" tmp");
    EXPECT_EQ(ending.exitCode, 0u);
    EXPECT_TRUE(ending.boxes.empty());
    EXPECT_EQ(ReadBytes("kovelar.dat"),
              IndexBytes({"C:\\TMP\\", "C:\\E0\\", "C:\\E1\\", "C:\\E3\\"}));
    EXPECT_FALSE(Exists(NewFile()));
}

// The program is killed (TerminateProcess, as a task manager does) at moments spread evenly
// over its save: the span is measured first in a run that is left alone, from the moment the new
// file appears until it has replaced the index, and the kills fall from a quarter of that span
// before the first byte to a quarter after the rename, counted from the moment each run makes
// its new file. After every kill the index is byte for byte the old one or the promoted one. A
// new file may be left behind; it is then a piece of the promoted index, and the next run, which
// starts with it there, still saves whole.
TEST_F(KillDuringSave, TheIndexIsAlwaysTheOldOrTheNewOneWhole) {
    const int kills = CountFromEnvironment("KV_SAVE_KILLS", 25);
    ASSERT_TRUE(AskHarness("index 2000000", PathOf("kovelar.dat"), 600s))
        << "the harness made no index (is shared/bench/make-index.py beside the repository?)";
    WriteSettings(1);
    const auto loaded = ReadWhole(PathOf("kovelar.dat"));
    ASSERT_TRUE(loaded);
    const std::string& old = *loaded;
    const std::vector<OneMatch> picked = TermsMatchingOneEntry(Lines(old), 1);
    ASSERT_EQ(picked.size(), 1u) << "no term matches exactly one entry";
    const std::string& term = picked[0].term;
    const std::string fresh = Promoted(old, picked[0].entry);
    ASSERT_FALSE(fresh.empty());
    ASSERT_NE(fresh, old) << "the term's entry is first already";
    std::printf("[ index    ] %zu bytes, term %s for %s\n", old.size(), term.c_str(),
                picked[0].entry.c_str());
    // The program replaces the index and never writes into it, so a second name of the old
    // file brings it back in an instant. Were it written in place, the comparisons with the
    // bytes held here would show it.
    const std::string original = PathOf("kovelar.orig");
    ASSERT_TRUE(CreateHardLinkA(original.c_str(), PathOf("kovelar.dat").c_str(), nullptr));
    const auto restoreOld = [&] {
        return DeleteFileA(PathOf("kovelar.dat").c_str()) &&
               CreateHardLinkA(PathOf("kovelar.dat").c_str(), original.c_str(), nullptr);
    };

    // Runs left alone: when the new file appears and when it has taken the index's place,
    // counted from the return of CreateProcess. The first run may read a cold disk cache, so the
    // quicker of two is the measure.
    Clock::duration created = Clock::duration::max(), replaced{};
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(run == 0 || restoreOld());
        const driver::Process process = Start(" " + term);
        ASSERT_TRUE(process);
        const auto start = Clock::now();
        std::optional<Clock::duration> appeared, gone;
        while (process.Running()) {
            const bool present = Exists(NewFile());
            if (present && !appeared) appeared = Clock::now() - start;
            if (appeared && !present && !gone) gone = Clock::now() - start;
            ASSERT_LT(Clock::now() - start, 120s) << "the save did not end";
            Sleep(1);
        }
        ASSERT_TRUE(appeared && gone) << "the save was not seen";
        EXPECT_EQ(process.WaitExit(), 0u);
        ASSERT_TRUE(ReadWhole(PathOf("kovelar.dat")) == fresh) << "the save left alone";
        ASSERT_FALSE(Exists(NewFile()));
        if (run == 0 || *gone - *appeared < replaced - created) {
            created = *appeared;
            replaced = *gone;
        }
    }
    const auto save = replaced - created;
    std::printf("[ save     ] new file after %.3f s, in place after %.3f s: the save takes %.3f s\n",
                Seconds(created), Seconds(replaced), Seconds(save));

    // Offsets from the moment the new file appears, one in each of `kills` equal slices of the
    // span, at a random place in its slice, in a random order.
    std::mt19937 random(Seed());
    std::uniform_real_distribution<double> within(0.0, 1.0);
    std::vector<Clock::duration> offsets;
    for (int i = 0; i < kills; ++i)
        offsets.push_back(-save / 4 + std::chrono::duration_cast<Clock::duration>(
                                          save * 1.5 * ((i + within(random)) / kills)));
    std::shuffle(offsets.begin(), offsets.end(), random);

    struct Tally {
        int oldIndex = 0, newIndex = 0;
        int leftoverPiece = 0, leftoverWhole = 0;  // a new file left beside the old index
        int endedFirst = 0;                        // the program had ended before the kill
        int startedWithLeftover = 0, ofThoseSaved = 0;
    } tally;
    bool holdsOld = false;  // the calibration run left the promoted index
    const auto began = Clock::now();
    for (int i = 0; i < kills; ++i) {
        if (!holdsOld) {
            ASSERT_TRUE(restoreOld()) << "the old index could not be put back";
        }
        const Look before = LookAtNewFile();
        const driver::Process process = Start(" " + term);
        ASSERT_TRUE(process);
        const auto start = Clock::now();
        if (offsets[i] < Clock::duration{}) {
            // Before the first byte: by the clock of the run left alone.
            while (Clock::now() - start < created + offsets[i]) Sleep(1);
        } else {
            ASSERT_TRUE(driver::WaitUntil(
                [&] { return SaveBegan(before, LookAtNewFile()) || !process.Running(); }, 120s));
            const auto anchor = Clock::now();
            while (Clock::now() - anchor < offsets[i]) Sleep(1);
        }
        TerminateProcess(process.handle(), 99);
        const auto code = process.WaitExit(30s);
        ASSERT_TRUE(code) << "the program did not end after the kill";
        if (*code != 99) ++tally.endedFirst;

        const double at = Seconds(offsets[i]);
        const auto index = ReadWhole(PathOf("kovelar.dat"));
        ASSERT_TRUE(index) << "no index after a kill at " << at << " s";
        const bool isOld = *index == old;
        ASSERT_TRUE(isOld || *index == fresh)
            << "a kill at " << at << " s of the save left an index of " << index->size()
            << " bytes that is neither the old nor the new one (kill " << i + 1 << ")";
        isOld ? ++tally.oldIndex : ++tally.newIndex;
        holdsOld = isOld;
        if (before.present) {
            ++tally.startedWithLeftover;
            if (!isOld) ++tally.ofThoseSaved;
        }
        if (const auto leftover = ReadWhole(NewFile())) {
            ASSERT_TRUE(isOld) << "a new file beside the new index after a kill at " << at << " s";
            ASSERT_EQ(fresh.compare(0, leftover->size(), *leftover), 0)
                << "the leftover new file is not a piece of the new index";
            leftover->size() == fresh.size() ? ++tally.leftoverWhole : ++tally.leftoverPiece;
        }
    }
    std::printf("[ kills    ] %d kills from %.3f s to %.3f s of the save, in %.0f s: %d left the "
                "old index (%d with a piece of the new file beside it, %d with the whole new "
                "file), %d the new one, never another file; %d ended before their kill; %d "
                "started with a leftover new file, %d of them saved whole\n",
                kills, Seconds(-save / 4), Seconds(save * 5 / 4), Seconds(Clock::now() - began),
                tally.oldIndex, tally.leftoverPiece, tally.leftoverWhole, tally.newIndex,
                tally.endedFirst, tally.startedWithLeftover, tally.ofThoseSaved);
    RecordProperty("old_index", tally.oldIndex);
    RecordProperty("new_index", tally.newIndex);
    RecordProperty("leftover_new_file", tally.leftoverPiece + tally.leftoverWhole);

    // Whatever the last kill left, a run left alone saves the promoted index and no new file.
    const Ending last = Run(" " + term, 120s);
    EXPECT_EQ(last.exitCode, 0u);
    EXPECT_TRUE(last.boxes.empty());
    EXPECT_TRUE(ReadWhole(PathOf("kovelar.dat")) == fresh) << "the run after the kills";
    EXPECT_FALSE(Exists(NewFile()));
}

// --- a disk that fills up under a save -------------------------------------------------------

// The data folder is a small tmpfs, "full" below the test's folder, so that a save runs out of
// room. It is unmounted at the end of the test, and by the harness after the run should the test
// not get that far.
template <typename Base>
class OnSmallDisk : public Base {
protected:
    void TearDown() override {
        if (mounted_) {
            EXPECT_TRUE(AskHarness("untmpfs -", Data(), 60s)) << "unmount " << Data();
        }
        Base::TearDown();
    }

    // The data folder, without its final backslash, as COMMANDER_PATH names it.
    std::string Data() const { return this->Folder() + "full"; }
    std::string DataFile(const std::string& name) const { return Data() + "\\" + name; }

    void Mount(int kilobytes) {
        ASSERT_TRUE(AskHarness("tmpfs " + std::to_string(kilobytes), Data(), 60s))
            << "the harness mounted no tmpfs on " << Data();
        mounted_ = true;
    }

    // An index of about `bytes` bytes: numbered folders, with `match` in the middle.
    static std::string IndexOfSize(size_t bytes, const std::string& match) {
        std::vector<std::string> entries;
        size_t size = match.size() + 2;
        for (int i = 0; size < bytes; ++i) {
            char entry[32];
            std::snprintf(entry, sizeof entry, "C:\\FOLDER%06d\\", i);
            entries.emplace_back(entry);
            size += entries.back().size() + 2;
        }
        entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(entries.size() / 2), match);
        return Base::IndexBytes(entries);
    }

    // The old index and the settings (naming the stand-in, English) in the data folder; the room
    // that is left must be less than `room`, the size of the new index.
    void Fill(const std::string& index, size_t room) {
        this->WriteBytes("full\\kovelar.dat", index);
        this->WriteBytes("full\\kovelar.ini",
                         "[Gebruik]\r\nPad=" + this->TotalcmdPath() + "\r\nTaal=1\r\n");
        ULARGE_INTEGER free{};
        ASSERT_TRUE(GetDiskFreeSpaceExA((Data() + "\\").c_str(), &free, nullptr, nullptr));
        ASSERT_LT(free.QuadPart, room) << "the tmpfs has room for the new index";
    }

private:
    bool mounted_ = false;
};

class FullDisk : public OnSmallDisk<KovelarTest> {};

// A jump whose promotion does not fit: the jump happens, the error box names the index (as for
// a read-only one), the index keeps its bytes, the piece of the new file is gone again, and the
// program ends.
TEST_F(FullDisk, APromotionThatDoesNotFitKeepsTheIndex) {
    Mount(128);
    const std::string index = IndexOfSize(100 * 1024, "C:\\TMP\\");
    Fill(index, index.size());

    const driver::Process process = Start(" tmp", Data());
    const Ending ending = WaitEnd(process);
    EXPECT_EQ(ending.exitCode, 0u);
    ASSERT_EQ(ending.boxes.size(), 1u);
    EXPECT_EQ(ending.boxes[0].text, WriteFailedText(DataFile("kovelar.dat")));
    EXPECT_EQ(ending.boxes[0].caption, kErrorCaption);
    EXPECT_TRUE(ending.boxes[0].hasIcon);
    EXPECT_EQ(WaitTotalcmdCalls(1), std::vector<std::string>{" /O \"C:\\TMP\\\""});
    EXPECT_TRUE(ReadWhole(DataFile("kovelar.dat")) == index);
    EXPECT_FALSE(Exists(DataFile("kovelar.dat.new"))) << "the piece of the new file is left";
}

// The same for a scan's save (in the scan prefix): H: holds the harness's 20,000 folders, whose
// index does not fit beside the old one. One error box, the old index byte for byte, no new file
// left, and the settings window goes on.
class FullDiskScan : public OnSmallDisk<ScanTest> {
protected:
    void TearDown() override {
        if (mapped_) driver::MapLargeTree("");
        OnSmallDisk<ScanTest>::TearDown();
    }
    bool mapped_ = false;
};

TEST_F(FullDiskScan, AScanWhoseIndexDoesNotFitKeepsTheOldOne) {
    ASSERT_TRUE(driver::MapLargeTree("t20k")) << "the harness did not map t20k (scan prefix?)";
    mapped_ = true;
    // The index that a scan of H: alone gives; the whole scan's is larger still.
    const auto tree = ReadWhole("C:\\kvtrees\\t20k.dat");
    ASSERT_TRUE(tree) << "no C:\\kvtrees\\t20k.dat";
    Mount(256);
    const std::string old = IndexOfSize(100 * 1024, "C:\\OLD\\");
    Fill(old, tree->size());

    const driver::Process process = Start("", Data());
    const SettingsWindow settings = StartSettings(process);
    ASSERT_TRUE(settings);
    driver::ClickButton(settings.bStart);
    const auto box = driver::WaitMessageBox(process.pid(), kScanTimeout);
    ASSERT_TRUE(box) << "no error box for the save that did not fit";
    EXPECT_EQ(box->text, WriteFailedText(DataFile("kovelar.dat")));
    EXPECT_EQ(box->caption, kErrorCaption);
    EXPECT_TRUE(box->hasIcon);
    EXPECT_TRUE(ReadWhole(DataFile("kovelar.dat")) == old);
    EXPECT_FALSE(Exists(DataFile("kovelar.dat.new"))) << "the piece of the new file is left";
    driver::AnswerMessageBox(box->window);
    ASSERT_TRUE(driver::WaitUntil([&] {
        return settings.Shows(settings.bStart) && !settings.Shows(settings.CircularProgress);
    })) << "the scan did not end after the box";
    EXPECT_TRUE(driver::TopWindows(process.pid(), "#32770").empty()) << "a second box";
    EXPECT_TRUE(ReadWhole(DataFile("kovelar.dat")) == old);
    EXPECT_FALSE(Exists(DataFile("kovelar.dat.new")));
    Leave(process, settings);
}

// --- a long series of jumps ---------------------------------------------------------------------

class ManyJumps : public KovelarTest {};

// Each jump is a fresh program on a 100,000-entry index, with a term that matches exactly one
// entry, a different one each time. Afterwards the index holds the same lines as before, only
// in another order: the jumped folders first, the last one at the top, then every other line in
// its old order. Every jump reached the file manager.
TEST_F(ManyJumps, EachJumpMovesOneFolderAndKeepsEveryLine) {
    const int jumps = CountFromEnvironment("KV_JUMPS", 200);
    ASSERT_TRUE(AskHarness("index 100000", PathOf("kovelar.dat"), 300s))
        << "the harness made no index (is shared/bench/make-index.py beside the repository?)";
    WriteSettings(1);
    const auto loaded = ReadWhole(PathOf("kovelar.dat"));
    ASSERT_TRUE(loaded);
    const std::string& before = *loaded;
    const std::vector<OneMatch> picked =
        TermsMatchingOneEntry(Lines(before), static_cast<size_t>(jumps));
    ASSERT_EQ(picked.size(), static_cast<size_t>(jumps)) << "too few terms that match one entry";

    std::string expected = before;
    std::vector<std::string> calls;
    const auto began = Clock::now();
    for (int i = 0; i < jumps; ++i) {
        const Ending ending = Run(" " + picked[i].term);
        ASSERT_EQ(ending.exitCode, 0u) << "jump " << i + 1 << " with " << picked[i].term;
        ASSERT_TRUE(ending.boxes.empty()) << ending.boxes[0].text;
        expected = Promoted(expected, picked[i].entry);
        calls.push_back(" /O \"" + picked[i].entry + "\"");
    }
    std::printf("[ jumps    ] %d jumps in %.0f s\n", jumps, Seconds(Clock::now() - began));

    const auto after = ReadWhole(PathOf("kovelar.dat"));
    ASSERT_TRUE(after);
    std::vector<std::string_view> linesBefore = Lines(before);
    std::vector<std::string_view> linesAfter = Lines(*after);
    ASSERT_FALSE(linesAfter.empty());
    EXPECT_EQ(linesAfter.front(), picked[jumps - 1].entry);
    std::sort(linesBefore.begin(), linesBefore.end());
    std::sort(linesAfter.begin(), linesAfter.end());
    EXPECT_TRUE(linesBefore == linesAfter) << "the index lost or gained lines";
    EXPECT_TRUE(*after == expected) << "the order is not that of the jumps";
    EXPECT_FALSE(Exists(PathOf("kovelar.dat.new")));

    // The stand-ins of neighbouring jumps may write their lines in either order.
    std::vector<std::string> made = WaitTotalcmdCalls(calls.size());
    std::sort(made.begin(), made.end());
    std::sort(calls.begin(), calls.end());
    EXPECT_TRUE(made == calls) << made.size() << " starts of the file manager for " << calls.size()
                               << " jumps";
}

}  // namespace kv::e2e
