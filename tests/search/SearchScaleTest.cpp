// The search run on trees the toolkit's paths cannot hold, folders it may not read, stops inside one file
// and texts changed while helper threads search ahead.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>

#include "DeepChain.h"
#include "FakeFileSystem.h"
#include "SearchWindowSupport.h"
#include "TestSupport.h"
#include "app/forms.h"
#include "matching/ContentMatch.h"
#include "search/FS1.h"
#include "search/results/ResultsModel.h"
#include "settings/forset1.h"
#include "viewer/RF1.h"

namespace {

const QString kSuccess = QStringLiteral("Поиск успешен! Выбери то, что нужно.");
const QString kNothing = QStringLiteral("К сожалению, ничего не найдено...");
using Lines = std::vector<std::string>;

class SearchScaleTest : public testing::Test {
  protected:
    void SetUp() override { w = searchWindowAtDefaults(); }
    void TearDown() override { ASSERT_EQ(chdir("/"), 0); }

    Lines search(const std::string& folder, bool subfolders, const char* text = nullptr) {
        w->CheckBox2->setChecked(subfolders);
        w->CheckBox1->setChecked(text != nullptr);
        w->Edit5->setText(text != nullptr ? QString::fromUtf8(text) : QString());
        w->setStartFolder(folder);
        w->Button2Click();
        return toStrings(w->foundList());
    }

    TFILESCH* w = nullptr;
    RecordingMessages messages;
};

// The real file system with listings read ahead by `readers` helpers, as on a file server (none: every
// folder listed at its turn on the run's own thread).
class ListingReaders : public FileSystem {
  public:
    explicit ListingReaders(unsigned readers) : real_(FileSystem::current()), readers_(readers) {
        FileSystem::install(this);
    }
    ~ListingReaders() override { FileSystem::install(nullptr); }
    ListingReaders(const ListingReaders&) = delete;
    ListingReaders& operator=(const ListingReaders&) = delete;

    std::unique_ptr<Folder> openFolder(const std::string& path) override { return real_.openFolder(path); }
    bool makeCurrent(const std::string& folder) override { return real_.makeCurrent(folder); }
    unsigned listingReaders(const std::string&) const override { return readers_; }

  private:
    FileSystem& real_;
    unsigned readers_;
};

}  // namespace

// Listings read ahead by helper threads change nothing a run shows: the same lines in the same order, the
// folder counter at the same moments, the same closing message, as when each folder is read at its turn;
// also when folders vanish or "Стоп" is pressed during the walk.
TEST_F(SearchScaleTest, ListingsReadAheadChangeNothingTheRunShows) {
    std::optional<DeepChain> deep;  // removed before its tree
    const auto manyFiles = [](TempTree& tree, const std::string& folder, int count) {
        for (int i = 0; i < count; ++i) {
            tree.file(folder + "f" + std::to_string(i));
        }
    };
    const auto lock = [](TempTree& tree, mode_t mode) {
        chmod(tree.path("locked").c_str(), mode);
        chmod(tree.path("open/locked").c_str(), mode);
    };
    const struct {
        const char* shape;
        std::function<void(TempTree&)> make;
        std::function<void(TempTree&, bool starting)> around;  // at the start and the end of each run
        // At the first pump after the start folder's listing has been read (its first interim count).
        std::function<void(TempTree&)> onceListed;
        bool unprivileged = false;  // so permissions apply
        bool vanishing = false;
    } shapes[] = {
        {"wide",
         [&](TempTree& tree) {
             manyFiles(tree, "", 120);
             for (int i = 0; i < 200; ++i) {
                 manyFiles(tree, "d" + std::to_string(i) + "/", i % 3);
             }
         },
         nullptr, nullptr},
        {"deep, past PATH_MAX", [&](TempTree& tree) { deep.emplace(tree.root(), 40, std::string(120, 'd')); },
         nullptr, nullptr},
        {"unreadable folders",
         [&](TempTree& tree) {
             manyFiles(tree, "locked/", 3);
             manyFiles(tree, "open/locked/", 3);
         },
         [&](TempTree& tree, bool starting) { lock(tree, starting ? 0 : 0755); }, nullptr, true},
        {"folders vanishing during the walk",
         [&](TempTree& tree) {
             manyFiles(tree, "", 60);
             manyFiles(tree, "gone/below/", 5);
             // So the folder counter moves while the start folder is gone through.
             for (int i = 0; i < 30; ++i) {
                 tree.folder("s" + std::to_string(i));
             }
         },
         [](TempTree& tree, bool starting) {
             if (!starting) {
                 rename(tree.path("gone.away").c_str(), tree.path("gone").c_str());
             }
         },
         [](TempTree& tree) { rename(tree.path("gone").c_str(), tree.path("gone.away").c_str()); }, false,
         true},
        {"\"Стоп\" during the walk",
         [&](TempTree& tree) {
             manyFiles(tree, "", 60);
             for (int i = 0; i < 50; ++i) {
                 manyFiles(tree, "d" + std::to_string(i) + "/", 2);
             }
         },
         nullptr, [&](TempTree&) { w->Button3Click(); }},
    };
    for (const auto& s : shapes) {
        SCOPED_TRACE(s.shape);
        TempTree tree;
        s.make(tree);
        // Every line, every value the folder counters took, and the closing message.
        const auto shown = [&](bool readAhead, bool changed = true) {
            const ListingReaders readers(readAhead ? 4 : 0);
            if (s.around) {
                s.around(tree, true);
            }
            std::vector<std::string> counters;
            CallbackPump pump([&](int) {
                const std::string counter = "Label6 " + w->Label6->text().toStdString();
                if (changed && s.onceListed && counters.size() == 1 && counter != "Label6 1") {
                    s.onceListed(tree);
                }
                if (counters.empty() || counters.back() != counter) {
                    counters.push_back(counter);
                }
            });
            messages.shown.clear();
            Lines all;
            if (s.unprivileged) {
                asUnprivileged([&] { all = search(tree.root(), true); });
            } else {
                all = search(tree.root(), true);
            }
            all.insert(all.end(), counters.begin(), counters.end());
            all.push_back(w->Label6->text().toStdString() + " " + w->Label10->text().toStdString());
            all.push_back(messages.shown.empty() ? std::string() : messages.shown.back().text.toStdString());
            if (s.around) {
                s.around(tree, false);
            }
            return all;
        };
        const Lines atItsTurn = shown(false);
        const Lines readAhead = shown(true);
        // A folder read ahead before it vanished is searched whole, as if it had vanished after its turn.
        EXPECT_EQ(readAhead, readAhead == atItsTurn || !s.vanishing ? atItsTurn : shown(false, false));
        deep.reset();
    }
}

TEST_F(SearchScaleTest, TreesDeeperThanPathMaxAreSearchedWhole) {
    TempTree tree;
    const DeepChain chain(tree.root(), 40, std::string(120, 'd'));
    const std::string bottom = chain.path("bottom.txt");
    ASSERT_GT(bottom.size(), static_cast<std::size_t>(PATH_MAX));

    w->Edit3->setText(QStringLiteral("txt"));
    EXPECT_EQ(search(tree.root(), true), Lines{bottom});
    EXPECT_EQ(w->Label6->text(), QStringLiteral("41"));
    EXPECT_EQ(search(tree.root(), true, "NEEDLE"), Lines{bottom});
    EXPECT_EQ(search(chain.folder(), false, "needle"), Lines{bottom});  // a start folder past PATH_MAX
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[2].text, kSuccess);
    // The viewer's search and the size look reach such a file too.
    EXPECT_EQ(SearchFile(bottom, SearchText(QStringLiteral("needle"), {TextEncoding::Utf8}), 0), 4);
    EXPECT_EQ(QueryFileSize(bottom), 10u);
    // And so does View, through the file viewer.
    Set1->CheckBox1->setChecked(false);
    w->ListBox1->setCurrentIndex(w->ListBox1Items->index(0));
    w->Button7Click();
    EXPECT_EQ(RF->loadedPath(), bottom);
    EXPECT_TRUE(RF->Memo1->toPlainText().contains(QStringLiteral("needle")));
    RF->hide();
}

TEST_F(SearchScaleTest, UnreadableFoldersAreCountedAndTheirSiblingsSearched) {
    TempTree tree;
    tree.file("a/1.txt", "needle");
    tree.file("locked/2.txt", "needle");
    tree.file("z/3.txt", "needle");
    tree.file("4.txt", "needle");
    ASSERT_EQ(chmod(tree.path("locked").c_str(), 0), 0);
    Lines found;
    asUnprivileged([&] { found = search(tree.root(), true, "needle"); });
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (Lines{tree.path("4.txt"), tree.path("a/1.txt"), tree.path("z/3.txt")}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kSuccess + QStringLiteral("\nНе удалось прочитать папок: 1"));
    ASSERT_EQ(chmod(tree.path("locked").c_str(), 0755), 0);
}

// A content run's helpers open each folder again for its files (a run by names alone reads each folder once);
// one gone since the collection is counted once, however many of its files were to be searched.
TEST_F(SearchScaleTest, AFolderThatGoesBeforeItsTurnIsCountedOnce) {
    struct Case {
        const char* what;
        bool lockedFromTheStart;
    } cases[] = {{"removed after the collection", false}, {"locked all along", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFileSystem fs;
        fs.add("/S", {"A/", "B/", "f"});
        fs.add("/S/A", {"a", "c"});
        fs.add("/S/B", {"b"});
        if (c.lockedFromTheStart) {
            fs.lock("/S/A", EACCES);
        }
        CallbackPump pump([&](int) {
            if (w->Label6->text() == QStringLiteral("3")) {  // the collection has ended
                fs.lock("/S/A", ENOENT);
            }
        });
        messages.shown.clear();
        EXPECT_TRUE(search("/S", true, "x").empty());
        EXPECT_EQ(w->Label10->text(), QStringLiteral("3"));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, kNothing + QStringLiteral("\nНе удалось прочитать папок: 1"));
    }
}

// The helpers search ahead with the text of the moment; a text changed during the run applies from the next
// file on, exactly as if each file were searched at its turn.
TEST_F(SearchScaleTest, ATextChangedDuringARunAppliesFromTheNextFile) {
    TempTree tree;
    for (int i = 0; i < 40; ++i) {
        tree.file("f" + std::to_string(i), i % 2 == 0 ? "alpha" : "beta");
    }
    Lines expected;
    DIR* dir = opendir(tree.root().c_str());
    int alphas = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name[0] != 'f') {
            continue;
        }
        const bool alpha = std::stoi(name.substr(1)) % 2 == 0;
        if (alphas < 3 ? alpha : !alpha) {
            expected.push_back(tree.path(name));
            alphas += alpha ? 1 : 0;
        }
    }
    closedir(dir);
    CallbackPump pump([&](int) {
        if (w->Label9->text() == QStringLiteral("3")) {
            w->Edit5->setText(QStringLiteral("BETA"));
        }
    });
    EXPECT_EQ(search(tree.root(), false, "alpha"), expected);
}

// The run reaches every folder and file from the start folder it opened: one renamed during the run is
// searched whole under the names it was listed by, and a file the listing gave that has gone since is
// counted as one that could not be read, never silently missed.
TEST_F(SearchScaleTest, FilesAreReachedFromTheirFoldersWhateverMovesMeanwhile) {
    const struct {
        const char* what;
        bool subfolders;
        void (*change)(const TempTree& tree);
        std::size_t found;  // lines, each under the name the start folder was listed by
        QString message;
    } cases[] = {
        {"the start folder renamed", true,
         [](const TempTree& tree) { ASSERT_EQ(rename(tree.path("S").c_str(), tree.path("T").c_str()), 0); },
         4, kSuccess},
        {"a listed file removed", false,
         [](const TempTree& tree) { ASSERT_EQ(unlink(tree.path("S/gone.txt").c_str()), 0); }, 1,
         kSuccess + QStringLiteral("\nНе удалось прочитать файлов: 1")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree tree;
        for (const char* file : {"S/a.txt", "S/gone.txt", "S/sub/b.txt", "S/sub/deep/c.txt"}) {
            tree.file(file, "needle");
        }
        // The first pump comes once the start folder is current, the next once its listing has been read.
        CallbackPump pump([&](int call) {
            if (call == (c.subfolders ? 0 : 1)) {
                c.change(tree);
            }
        });
        messages.shown.clear();
        const Lines found = search(tree.path("S"), c.subfolders, "needle");
        EXPECT_EQ(found.size(), c.found);
        EXPECT_EQ(std::count_if(found.begin(), found.end(),
                                [&](auto& line) { return line.rfind(tree.path("S/"), 0) != 0; }),
                  0);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, c.message);
    }
}

TEST_F(SearchScaleTest, StopAbandonsTheFileInHand) {
    TempTree tree;
    const std::string big = tree.file("big.bin");
    {
        std::ofstream out(big, std::ios::binary);
        out.seekp((std::int64_t{1} << 31) - 6);  // sparse: reads as zeros up to the needle
        out << "needle";
    }
    CallbackPump pump([&](int call) {
        if (call == 1) {  // the run waits for the big file's search
            w->Button3Click();
        }
    });
    EXPECT_TRUE(search(tree.root(), false, "needle").empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kNothing);
    EXPECT_TRUE(w->Button2->isEnabled());
}
