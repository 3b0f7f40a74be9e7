// The list of installed files: entry checks, pieces, and the removal passes on a model.
#include "uninstall/filelist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/pathutil.h"

namespace {
const char Folder[] = "C:\\inst\\";

TEST(IsEntryInsideFolder, Table) {
    struct Case { const char* Entry; bool Inside; };
    const Case cases[] = {
        {"a.txt", true},
        {"sub\\a.txt", true},
        {"sub/a.txt", true},
        {" lead.txt", true},           // leading blanks belong to the name
        {"a..b", true},
        {".hidden", true},
        {"...x", true},
        {"sub\\.\\a", true},           // "." stays in the folder
        {"nul2", true},
        {"console.txt", true},
        {"lpt10", true},
        {"auxiliary.dll", true},
        {"\xb1\xed\\a.txt", true},     // a double-byte folder name
        {"", false},
        {"..", false},
        {"..\\victim.txt", false},
        {"../victim.txt", false},
        {"sub\\..\\..\\victim.txt", false},
        {"sub/../x", false},
        {"sub\\..", false},
        {"...\\x", false},             // trailing dots are dropped by the system
        {".. \\x", false},
        {"a\\. .\\b", false},
        {"C:\\Windows\\x.dll", false},
        {"C:x.dll", false},
        {"file.txt:stream", false},
        {"\\\\server\\share\\x", false},
        {"\\\\?\\C:\\x", false},
        {"\\x", false},
        {"/x", false},
        {"nul", false},
        {"NUL.txt", false},
        {"sub\\com1.log", false},
        {"con ", false},
        {"Lpt9", false},
        {"CONOUT$", false},
        {"\x81\\..\\x", false},        // a backslash byte divides even behind a lead byte
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Entry);
        EXPECT_EQ(IsEntryInsideFolder(c.Entry), c.Inside);
    }
}

TEST(FormFullPath, WholeOrNothing) {
    char buf[16];
    EXPECT_TRUE(FormFullPath(buf, sizeof(buf), "C:\\", "x"));
    EXPECT_STREQ(buf, "C:\\x");  // a drive root gets no doubled backslash
    EXPECT_TRUE(FormFullPath(buf, sizeof(buf), "C:\\inst\\", "abcdefg"));  // 15 bytes fill 16
    EXPECT_STREQ(buf, "C:\\inst\\abcdefg");
    EXPECT_FALSE(FormFullPath(buf, sizeof(buf), "C:\\inst\\", "abcdefgh"));
    EXPECT_STREQ(buf, "");
}

std::vector<std::string> Kept(const char* folder, const std::vector<std::string>& pieces) {
    RemovalList list(folder);
    for (const std::string& p : pieces) list.AddPiece(p.c_str());
    std::vector<std::string> paths;
    for (size_t i = 0; i < list.Size(); ++i) paths.push_back(list.Path(i));
    return paths;
}

TEST(RemovalList, PiecesAreTrimmedCheckedAndJoined) {
    struct Case { std::string Piece; const char* Path; };  // Path null: left out
    const Case cases[] = {
        {"a.txt\r\n", "C:\\inst\\a.txt"},
        {"a.txt \t \r\n", "C:\\inst\\a.txt"},
        {"  b.txt\n", "C:\\inst\\  b.txt"},
        {"sub\\c.txt", "C:\\inst\\sub\\c.txt"},  // last line without a line end
        {"\r\n", nullptr},
        {" \t \r\n", nullptr},
        {"\n", nullptr},
        {"..\\x\r\n", nullptr},
        {"\\x\r\n", nullptr},
        // fgets reads past a NUL byte, but the entry ends there
        {std::string("d.txt\0e.txt\n", 12), "C:\\inst\\d.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Piece);
        std::vector<std::string> kept = Kept(Folder, {c.Piece});
        if (c.Path) {
            ASSERT_EQ(kept.size(), 1u);
            EXPECT_EQ(kept[0], c.Path);
        } else {
            EXPECT_TRUE(kept.empty());
        }
    }
}

TEST(RemovalList, PathThatDoesNotFitIsLeftOutNotCut) {
    // 8 bytes of folder: an entry of 1015 bytes makes 1023 and fits, one more does not.
    std::string fits(1015, 'x'), tooLong(1016, 'x');
    std::vector<std::string> kept = Kept(Folder, {fits, tooLong, "short.txt"});
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].size(), 1023u);
    EXPECT_EQ(kept[1], "C:\\inst\\short.txt");
}

TEST(RemovalList, PiecesOfALongLineAreEntriesOfTheirOwn) {
    // A line of 2047 + 8 bytes reaches the list as two pieces; the first is far too long
    // for a path, the second names a file.
    std::string line = std::string(ListPieceSize - 1, 'y') + "tail.txt\r\n";
    std::vector<std::string> kept = Kept(Folder, {line.substr(0, ListPieceSize - 1), line.substr(ListPieceSize - 1)});
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0], "C:\\inst\\tail.txt");
}

// A model of the file system: paths in lower case, folders, read-only files and files in
// use as Windows has them.
enum class Use { Free, Loaded /* can be renamed, not deleted */, Locked /* neither */ };
struct Node {
    bool dir = false;
    bool readOnly = false;
    Use use = Use::Free;
};

std::string Lower(std::string s) {
    for (char& c : s) c = (char)tolower((unsigned char)c);
    return s;
}

class ModelSystem : public RemovalSystem {
public:
    std::map<std::string, Node> nodes;
    std::vector<std::string> log;        // every change and every scheduling, in order
    std::vector<std::string> scheduled;

    void AddFile(const std::string& path, Use use = Use::Free, bool readOnly = false) {
        nodes[Lower(path)] = Node{false, readOnly, use};
    }
    void AddDir(const std::string& path) { nodes[Lower(path)] = Node{true, false, Use::Free}; }
    bool Has(const std::string& path) const { return nodes.count(Lower(path)) != 0; }

    PathQuery Query(const char* path) override {
        PathQuery q;
        auto it = nodes.find(Lower(path));
        if (it == nodes.end()) {
            q.missing = true;
            return q;
        }
        q.found = true;
        q.directory = it->second.dir;
        q.attributes = it->second.dir ? 0x10 : (it->second.readOnly ? 0x21 : 0x20);
        return q;
    }
    void ClearAttributes(const char* path, const PathQuery&) override {
        auto it = nodes.find(Lower(path));
        if (it != nodes.end()) it->second.readOnly = false;
    }
    bool RemoveFolder(const char* path) override {
        std::string key = Lower(path);
        auto it = nodes.find(key);
        if (it == nodes.end() || !it->second.dir) return false;
        for (const auto& n : nodes) {
            if (n.first.size() > key.size() && n.first.compare(0, key.size() + 1, key + "\\") == 0) return false;
        }
        nodes.erase(it);
        log.push_back("rd " + key);
        return true;
    }
    bool RemoveFile(const char* path) override {
        auto it = nodes.find(Lower(path));
        if (it == nodes.end() || it->second.dir || it->second.readOnly || it->second.use != Use::Free) return false;
        nodes.erase(it);
        log.push_back("del " + Lower(path));
        return true;
    }
    bool Exists(const char* path) override { return Has(path); }
    bool Move(const char* from, const char* to) override {
        auto it = nodes.find(Lower(from));
        if (it == nodes.end() || Has(to) || it->second.use == Use::Locked) return false;
        Node n = it->second;
        nodes.erase(it);
        nodes[Lower(to)] = n;
        log.push_back("move " + Lower(from) + " " + Lower(to));
        return true;
    }
    void ScheduleAtRestart(const char* path) override {
        scheduled.push_back(path);
        log.push_back(std::string("schedule ") + path);
    }
    bool SameName(const char* a, const char* b) override { return Lower(a) == Lower(b); }
};

RemovalList ListOf(const std::vector<std::string>& entries) {
    RemovalList list(Folder);
    for (const std::string& e : entries) list.AddPiece((e + "\r\n").c_str());
    return list;
}

std::string In(const std::string& name) { return std::string(Folder) + name; }

TEST(RemovalPasses, FolderListedBeforeItsContentsGoesInTheNextPass) {
    ModelSystem fs;
    fs.AddDir(In("sub"));
    fs.AddDir(In("sub\\deeper"));
    fs.AddFile(In("sub\\deeper\\a.txt"));
    fs.AddFile(In("ro.txt"), Use::Free, true);
    fs.AddFile(In("unlisted.txt"));
    RemovalList list = ListOf({"sub", "sub\\deeper", "sub\\deeper\\a.txt", "ro.txt", "missing.txt"});
    EXPECT_EQ(list.RunPass(fs, "uninstall.exe"), 2);  // a.txt and the read-only file
    EXPECT_EQ(list.RunPass(fs, "uninstall.exe"), 1);  // deeper
    EXPECT_EQ(list.RunPass(fs, "uninstall.exe"), 1);  // sub
    EXPECT_EQ(list.RunPass(fs, "uninstall.exe"), 0);
    EXPECT_EQ(fs.nodes.size(), 1u);
    EXPECT_TRUE(fs.Has(In("unlisted.txt")));
    EXPECT_TRUE(fs.scheduled.empty());
}

TEST(RemovalPasses, FilesInUse) {
    struct Case {
        const char* Name;
        Use use;
        std::vector<std::string> Taken;  // temporary names that exist already
        const char* Scheduled;           // null: nothing
        bool Restart;
        const char* Left;                // the file afterwards
    };
    std::vector<std::string> all;
    for (int n = 0; n < 1000; ++n) all.push_back("x.dll." + std::to_string(n) + ".tmp");
    const Case cases[] = {
        {"x.dll", Use::Loaded, {}, "x.dll.0.tmp", false, "x.dll.0.tmp"},
        {"x.dll", Use::Loaded, {"x.dll.0.tmp"}, "x.dll.1.tmp", false, "x.dll.1.tmp"},
        {"x.dll", Use::Loaded, all, "x.dll", true, "x.dll"},
        {"x.dll", Use::Locked, {}, "x.dll", true, "x.dll"},
        {"uninstall.exe", Use::Locked, {}, nullptr, false, "uninstall.exe"},
        {"sub\\UNINSTALL.EXE", Use::Loaded, {}, nullptr, false, "sub\\uninstall.exe"},
        {"uninstall.LST", Use::Locked, {}, nullptr, false, "uninstall.lst"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Name << " taken " << c.Taken.size());
        ModelSystem fs;
        fs.AddDir(In("sub"));
        fs.AddFile(In(c.Name), c.use);
        for (const std::string& t : c.Taken) fs.AddFile(In(t));
        RemovalList list = ListOf({c.Name});
        EXPECT_EQ(list.RunPasses(fs, "uninstall.exe"), c.Restart);
        EXPECT_TRUE(fs.Has(In(c.Left)));
        if (!c.Scheduled) {
            EXPECT_TRUE(fs.scheduled.empty());
            continue;
        }
        // A file that keeps its name is met, and scheduled, by every pass; here one.
        ASSERT_EQ(fs.scheduled.size(), 1u);
        EXPECT_EQ(fs.scheduled[0], In(c.Scheduled));
    }
}

TEST(RemovalPasses, TemporaryNameListedBeforeTheFileIsMetAgain) {
    ModelSystem fs;
    fs.AddFile(In("a.dll"), Use::Loaded);
    fs.AddFile(In("b.txt"));
    RemovalList list = ListOf({"a.dll.0.tmp", "a.dll", "b.txt"});
    list.RunPasses(fs, "uninstall.exe");
    // b.txt makes a second pass, which finds the moved file under the listed temporary
    // name and moves it on.
    const std::vector<std::string> expected = {
        "move c:\\inst\\a.dll c:\\inst\\a.dll.0.tmp", "schedule C:\\inst\\a.dll.0.tmp", "del c:\\inst\\b.txt",
        "move c:\\inst\\a.dll.0.tmp c:\\inst\\a.dll.0.tmp.0.tmp", "schedule C:\\inst\\a.dll.0.tmp.0.tmp"};
    EXPECT_EQ(fs.log, expected);
}

// Every entry of every pass, as the passes would run if nothing were remembered between
// them: the kept list must change and schedule exactly the same.
int ReferencePasses(ModelSystem& fs, const std::vector<std::string>& paths, bool* restart) {
    int passes = 0;
    *restart = false;
    for (;;) {
        ++passes;
        int removed = 0;
        for (const std::string& path : paths) {
            PathQuery q = fs.Query(path.c_str());
            fs.ClearAttributes(path.c_str(), q);
            if (q.found && q.directory) {
                if (fs.RemoveFolder(path.c_str())) ++removed;
                continue;
            }
            if (fs.RemoveFile(path.c_str())) { ++removed; continue; }
            if (!q.found) continue;
            std::string name = Lower(path.substr(path.find_last_of('\\') + 1));
            if (name == "uninstall.exe" || name == "uninstall.lst") continue;
            char target[MaxPathSize];
            if (!FindRenameTarget(target, sizeof(target), path.c_str(), fs) || !fs.Move(path.c_str(), target)) {
                *restart = true;
                fs.ScheduleAtRestart(path.c_str());
            } else {
                fs.ScheduleAtRestart(target);
            }
        }
        if (removed == 0) return passes;
    }
}

TEST(RemovalPasses, SameResultAsPassesThatRememberNothing) {
    std::mt19937 random(12345);
    const char* names[] = {"a", "b", "c.dll", "d.dll", "uninstall.exe", "uninstall.lst"};
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        ModelSystem fs;
        std::vector<std::string> entries;
        // A few folders two deep, files in them, some in use, some read-only.
        for (const char* top : {"p", "q"}) {
            if (random() % 4) fs.AddDir(In(top));
            entries.push_back(top);
            for (const char* sub : {"r", "s"}) {
                std::string dir = std::string(top) + "\\" + sub;
                if (fs.Has(In(top)) && random() % 3) fs.AddDir(In(dir));
                entries.push_back(dir);
                for (const char* name : names) {
                    std::string file = dir + "\\" + name;
                    if (fs.Has(In(dir)) && random() % 2) fs.AddFile(In(file), (Use)(random() % 3), random() % 4 == 0);
                    if (random() % 3) entries.push_back(file);
                    if (random() % 5 == 0) entries.push_back(file + ".0.tmp");
                    if (random() % 7 == 0 && fs.Has(In(dir))) fs.AddFile(In(file + ".0.tmp"), (Use)(random() % 3));
                }
            }
        }
        std::shuffle(entries.begin(), entries.end(), random);
        if (random() % 2) entries.push_back(entries[random() % entries.size()]);  // listed twice

        std::vector<std::string> paths;
        for (const std::string& e : entries) paths.push_back(In(e));
        ModelSystem reference = fs;
        bool referenceRestart = false;
        int referencePasses = ReferencePasses(reference, paths, &referenceRestart);

        ModelSystem stepped = fs;
        RemovalList steppedList = ListOf(entries);
        int passes = 1;
        while (steppedList.RunPass(stepped, "uninstall.exe") != 0) ++passes;
        EXPECT_EQ(passes, referencePasses);
        EXPECT_EQ(stepped.log, reference.log);

        ModelSystem whole = fs;
        EXPECT_EQ(ListOf(entries).RunPasses(whole, "uninstall.exe"), referenceRestart);
        EXPECT_EQ(whole.log, reference.log);
    }
}
}  // namespace
