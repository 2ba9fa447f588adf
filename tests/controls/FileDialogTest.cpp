// Tests of the file dialog: how its stored filters reach Qt, and the real dialog it shows.
#include "FileDialog.h"

#include "FileFilter.h"
#include "ModalAnswers.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using quillomatic::FileDialog;
using quillomatic::FileFilter;
using quillomatic::testing::ModalAnswers;

namespace {

const QString kHTMLFilter = QStringLiteral(
    "HTML Files (*.HTM; *.HTML)|* .HTM, *.HTML|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*");

enum class Showing { Open, Save };

void Show(FileDialog& dialog, Showing showing) {
    if (showing == Showing::Open) {
        dialog.ShowOpen();
    } else {
        dialog.ShowSave();
    }
}

// Whether the dialog, shown by `action`, reported a cancel.
bool Cancelled(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileDialog::Cancelled&) {
        return true;
    }
    return false;
}

bool WriteFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("<p>x</p>\r\n") > 0;
}

// The names in the dialog's file list, as the user sees them, sorted.
QStringList ListedNames(const QFileDialog* dialog) {
    const auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (!view || !view->model()) {
        return {};
    }
    QStringList names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row) {
        names.append(view->model()->index(row, 0, root).data().toString());
    }
    names.sort();
    return names;
}

// Whether the dialog's list knows the type of each of its files: Qt finds it
// out (or guesses it) after the names are listed.
bool TypesListed(const QFileDialog* dialog) {
    const auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (!view || !view->model() || view->model()->rowCount(view->rootIndex()) == 0) {
        return false;
    }
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row) {
        if (view->model()->index(row, 2, root).data().toString().isEmpty()) {
            return false;
        }
    }
    return true;
}

// Types `name` over the name field, where the dialog puts the focus, and
// presses Enter, as a user does. The dialog must be active first: only a name
// field with the focus drops the file the dialog had preselected. A question
// the dialog puts meanwhile is noted in `askedAgain` and agreed to.
ModalAnswers::Answer TypeNameAndPressEnter(const QString& name, bool* askedAgain = nullptr) {
    return [name, askedAgain](QWidget* window) {
        auto* field = window->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!field || !QTest::qWaitForWindowActive(window) ||
            !QTest::qWaitFor([field] { return field->hasFocus(); })) {
            window->close();
            return;
        }
        // The question would come up inside the key press, so a watcher of
        // its own must answer it there.
        QTimer watcher;
        watcher.setInterval(5);
        QObject::connect(&watcher, &QTimer::timeout, [askedAgain] {
            auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!question) {
                return;
            }
            if (askedAgain) {
                *askedAgain = true;
            }
            if (QAbstractButton* yes = question->button(QMessageBox::Yes)) {
                yes->click();
            } else {
                question->reject();
            }
        });
        watcher.start();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, name);
        QTest::keyClick(field, Qt::Key_Return);
        // Refused: end the showing, so the test reports rather than waits.
        if (window->isVisible()) {
            window->close();
        }
    };
}

// The names of the files opened in one folder while it is watched, from the
// kernel's own record (inotify), whoever opened them.
class FilesOpened {
public:
    explicit FilesOpened(const QString& folder)
        : m_Descriptor(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (m_Descriptor >= 0) {
            m_Watching = ::inotify_add_watch(m_Descriptor, QFile::encodeName(folder).constData(),
                                             IN_OPEN) >= 0;
        }
    }
    ~FilesOpened() {
        if (m_Descriptor >= 0) {
            ::close(m_Descriptor);
        }
    }
    FilesOpened(const FilesOpened&) = delete;
    FilesOpened& operator=(const FilesOpened&) = delete;

    [[nodiscard]] bool Watching() const { return m_Watching; }
    // The files opened since the watch began; the folder itself, opened to
    // list it, does not count.
    [[nodiscard]] QStringList Names() {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t length = ::read(m_Descriptor, buffer, sizeof buffer);
            if (length <= 0) {
                break;
            }
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && !(event->mask & IN_ISDIR) &&
                    !m_Names.contains(QString::fromLocal8Bit(event->name))) {
                    m_Names.append(QString::fromLocal8Bit(event->name));
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return m_Names;
    }

private:
    int m_Descriptor;
    bool m_Watching = false;
    QStringList m_Names;
};

// Counts the turns of the event loop, and ends the test with a failure if
// they stop for good: a main thread blocked in a read would otherwise hang
// the test instead of failing it.
class EventLoopWatch {
public:
    EventLoopWatch() {
        m_Ticker.setInterval(10);
        QObject::connect(&m_Ticker, &QTimer::timeout, [this] { ++m_Ticks; });
        m_Ticker.start();
        m_Watchdog = std::thread([this] {
            long seen = -1;
            auto since = std::chrono::steady_clock::now();
            while (!m_Done) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                if (m_Ticks != seen) {
                    seen = m_Ticks;
                    since = std::chrono::steady_clock::now();
                } else if (std::chrono::steady_clock::now() - since > std::chrono::seconds(20)) {
                    std::fprintf(stderr, "FAIL: the event loop stopped for 20 s\n");
                    std::_Exit(EXIT_FAILURE);
                }
            }
        });
    }
    ~EventLoopWatch() {
        m_Done = true;
        m_Watchdog.join();
    }
    EventLoopWatch(const EventLoopWatch&) = delete;
    EventLoopWatch& operator=(const EventLoopWatch&) = delete;

    [[nodiscard]] long Ticks() const { return m_Ticks; }

private:
    QTimer m_Ticker;
    std::atomic<long> m_Ticks{0};
    std::atomic<bool> m_Done{false};
    std::thread m_Watchdog;
};

QStringList ComboTexts(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) {
        texts.append(combo->itemText(i));
    }
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(Showing)

class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void translatesStoredFilters_data();
    void translatesStoredFilters();
    void listsOnlyTheFilesOfTheChosenFilterWhateverTheirCase();
    void allFilesListsFilesWithoutADot();
    void browsingOpensNoFileAndNeverBlocks();
    void showsItsTitleFontAndKind_data();
    void showsItsTitleFontAndKind();
    void takesTheTypedNameAsFullPath_data();
    void takesTheTypedNameAsFullPath();
    void cancelRaisesTheCancelErrorAndKeepsFileName_data();
    void cancelRaisesTheCancelErrorAndKeepsFileName();
    void saveOnAnExistingFileAsksNothingOfItsOwn();

private:
    std::unique_ptr<QWidget> m_Owner;
};

void FileDialogTest::initTestCase() {
    m_Owner = std::make_unique<QWidget>();
    m_Owner->resize(300, 200);
    m_Owner->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_Owner.get()));
}

void FileDialogTest::translatesStoredFilters_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("nameFilters");

    QTest::newRow("HTML page, three pairs and a blank after the star")
        << kHTMLFilter
        << QStringList{QStringLiteral("HTML Files (*.HTM *.HTML)"),
                       QStringLiteral("Text Files (*.TXT)"), QStringLiteral("All Files (*)")};
    QTest::newRow("ASP") << QStringLiteral("ASP Files (*.ASP)|* .ASP")
                         << QStringList{QStringLiteral("ASP Files (*.ASP)")};
    QTest::newRow("JavaScript") << QStringLiteral("JavaScript Files (*.JS)|* .JS")
                                << QStringList{QStringLiteral("JavaScript Files (*.JS)")};
    QTest::newRow("PHP") << QStringLiteral("PHP Files (*.PHP)|* .PHP")
                         << QStringList{QStringLiteral("PHP Files (*.PHP)")};
    QTest::newRow("JSP") << QStringLiteral("JSP Files (*.JSP)|* .JSP")
                         << QStringList{QStringLiteral("JSP Files (*.JSP)")};
    QTest::newRow("Perl") << QStringLiteral("Perl Files (*.PL)|* .PL")
                          << QStringList{QStringLiteral("Perl Files (*.PL)")};
    QTest::newRow("description without its own pattern list")
        << QStringLiteral("Web pages|*.htm;*.html")
        << QStringList{QStringLiteral("Web pages (*.htm *.html)")};
    QTest::newRow("every file first")
        << QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT")
        << QStringList{QStringLiteral("All Files (*)"), QStringLiteral("Text Files (*.TXT)")};
}

void FileDialogTest::translatesStoredFilters() {
    QFETCH(QString, stored);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(FileFilter(stored).NameFilters(), nameFilters);
}

void FileDialogTest::listsOnlyTheFilesOfTheChosenFilterWhateverTheirCase() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const char* name : {"index.html", "PAGE.HTM", "notes.txt"}) {
        QVERIFY(WriteFile(folder.filePath(QString::fromLatin1(name))));
    }
    FileDialog dialog(m_Owner.get());
    dialog.SetFilter(kHTMLFilter);
    // The dialog opens where the previous choice was.
    dialog.SetFileName(folder.filePath(QStringLiteral("index.html")));

    QStringList filtersOffered;
    QStringList listedAsHTML;
    QStringList listedAsText;
    bool pagesListed = false;
    bool textListed = false;
    ModalAnswers answers;
    answers.Then([&](QWidget* window) {
        auto* shown = qobject_cast<QFileDialog*>(window);
        auto* types = window->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (shown && types) {
            filtersOffered = ComboTexts(types);
            // The folder is read in the background: wait for both pages.
            pagesListed = QTest::qWaitFor([&] { return ListedNames(shown).size() >= 2; }, 5000);
            QTest::qWait(50);
            listedAsHTML = ListedNames(shown);
            // The user picks the next filter, "Text Files", with the keyboard.
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
            textListed = QTest::qWaitFor(
                [&] { return ListedNames(shown).contains(QStringLiteral("notes.txt")); }, 5000);
            QTest::qWait(50);
            listedAsText = ListedNames(shown);
        }
        window->close();
    });
    QVERIFY(Cancelled([&] { dialog.ShowOpen(); }));

    QVERIFY(pagesListed);
    QVERIFY(textListed);
    QCOMPARE(filtersOffered, FileFilter(kHTMLFilter).NameFilters());
    QCOMPARE(listedAsHTML, (QStringList{QStringLiteral("PAGE.HTM"), QStringLiteral("index.html")}));
    QCOMPARE(listedAsText, QStringList{QStringLiteral("notes.txt")});
}

void FileDialogTest::allFilesListsFilesWithoutADot() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const char* name : {"README", "Makefile", "index.html"}) {
        QVERIFY(WriteFile(folder.filePath(QString::fromLatin1(name))));
    }
    FileDialog dialog(m_Owner.get());
    dialog.SetFilter(kHTMLFilter);
    dialog.SetFileName(folder.filePath(QStringLiteral("index.html")));

    QStringList listed;
    ModalAnswers answers;
    answers.Then([&](QWidget* window) {
        auto* shown = qobject_cast<QFileDialog*>(window);
        auto* types = window->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (shown && types) {
            // The user picks the last filter, "All Files".
            types->setFocus();
            QTest::keyClick(types, Qt::Key_End);
            // The folder is read in the background.
            (void)QTest::qWaitFor(
                [&] { return ListedNames(shown).contains(QStringLiteral("README")); }, 3000);
            QTest::qWait(50);
            listed = ListedNames(shown);
        }
        window->close();
    });
    QVERIFY(Cancelled([&] { dialog.ShowOpen(); }));

    QCOMPARE(listed, (QStringList{QStringLiteral("Makefile"), QStringLiteral("README"),
                                  QStringLiteral("index.html")}));
}

void FileDialogTest::browsingOpensNoFileAndNeverBlocks() {
    // A folder of files whose type their names do not give, and a pipe.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const char* name : {"data", "notes", "index.html"}) {
        QVERIFY(WriteFile(folder.filePath(QString::fromLatin1(name))));
    }
    QVERIFY(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe"))).constData(),
                     0600) == 0);
    FilesOpened opened(folder.path());
    QVERIFY(opened.Watching());
    FileDialog dialog(m_Owner.get());
    dialog.SetFilter(QStringLiteral("All Files (*.*)|*.*"));
    dialog.SetFileName(folder.filePath(QStringLiteral("index.html")));

    EventLoopWatch loop;
    QStringList openedInFolder;
    bool folderListed = false;
    bool procListed = false;
    long ticksBeforeProc = 0;
    long ticksInProc = 0;
    ModalAnswers answers;
    answers.Then([&](QWidget* window) {
        auto* shown = qobject_cast<QFileDialog*>(window);
        auto* name = window->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!shown || !name || !QTest::qWaitForWindowActive(window)) {
            window->close();
            return;
        }
        folderListed = QTest::qWaitFor(
            [&] { return ListedNames(shown).size() >= 3 && TypesListed(shown); }, 5000);
        openedInFolder = opened.Names();
        if (!openedInFolder.isEmpty()) {
            window->close();
            return;
        }
        // The user types /proc/ key by key, as root does in our CI: the name
        // field offers what is there, so the dialog reads the folder.
        ticksBeforeProc = loop.Ticks();
        name->setFocus();
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, QStringLiteral("/proc/"));
        auto* model = shown->findChild<QFileSystemModel*>();
        const bool procRead =
            model &&
            QTest::qWaitFor(
                [&] { return model->rowCount(model->index(QStringLiteral("/proc"))) > 10; }, 10000);
        // Then opens the folder in the list.
        shown->setDirectory(QStringLiteral("/proc"));
        procListed =
            procRead &&
            QTest::qWaitFor([&] { return ListedNames(shown).contains(QStringLiteral("self")); },
                            10000);
        // Long enough for the types of what /proc holds to come in.
        QTest::qWait(500);
        ticksInProc = loop.Ticks() - ticksBeforeProc;
        window->close();
    });
    QVERIFY(Cancelled([&] { dialog.ShowOpen(); }));

    QVERIFY(folderListed);
    QCOMPARE(openedInFolder, QStringList{});
    QVERIFY(procListed);
    QVERIFY2(ticksInProc >= 10, qPrintable(QString::number(ticksInProc)));
}

void FileDialogTest::showsItsTitleFontAndKind_data() {
    QTest::addColumn<Showing>("showing");
    QTest::addColumn<QFileDialog::AcceptMode>("acceptMode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("fontName");

    QTest::newRow("open") << Showing::Open << QFileDialog::AcceptOpen << QStringLiteral("Load HTML")
                          << QStringLiteral("Verdana");
    QTest::newRow("save, same stored title")
        << Showing::Save << QFileDialog::AcceptSave << QStringLiteral("Load HTML")
        << QStringLiteral("Verdana");
    QTest::newRow("open, other title and font")
        << Showing::Open << QFileDialog::AcceptOpen << QStringLiteral("Pick a page")
        << QStringLiteral("Courier");
}

void FileDialogTest::showsItsTitleFontAndKind() {
    QFETCH(Showing, showing);
    QFETCH(QFileDialog::AcceptMode, acceptMode);
    QFETCH(QString, title);
    QFETCH(QString, fontName);

    FileDialog dialog(m_Owner.get());
    dialog.SetFilter(kHTMLFilter);
    dialog.SetDialogTitle(title);
    dialog.SetFontName(fontName);

    QString shownTitle;
    QString shownFamily;
    int shownMode = -1;
    ModalAnswers answers;
    answers.Then([&](QWidget* window) {
        shownTitle = window->windowTitle();
        shownFamily = window->font().families().value(0);
        if (auto* shown = qobject_cast<QFileDialog*>(window)) {
            shownMode = shown->acceptMode();
        }
        window->close();
    });
    QVERIFY(Cancelled([&] { Show(dialog, showing); }));

    QCOMPARE(shownTitle, title);
    QCOMPARE(shownFamily, fontName);
    QCOMPARE(shownMode, static_cast<int>(acceptMode));
}

void FileDialogTest::takesTheTypedNameAsFullPath_data() {
    QTest::addColumn<Showing>("showing");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosenName");

    QTest::newRow("open, bare name of a file in the shown folder")
        << Showing::Open << QStringLiteral("PAGE.HTM") << QStringLiteral("PAGE.HTM");
    QTest::newRow("open, full path")
        << Showing::Open << QStringLiteral("<folder>/index.html") << QStringLiteral("index.html");
    QTest::newRow("open, a name that does not exist")
        << Showing::Open << QStringLiteral("missing.html") << QStringLiteral("missing.html");
    QTest::newRow("save, new name")
        << Showing::Save << QStringLiteral("out.php") << QStringLiteral("out.php");
}

void FileDialogTest::takesTheTypedNameAsFullPath() {
    QFETCH(Showing, showing);
    QFETCH(QString, typed);
    QFETCH(QString, chosenName);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(WriteFile(folder.filePath(QStringLiteral("index.html"))));
    QVERIFY(WriteFile(folder.filePath(QStringLiteral("PAGE.HTM"))));
    QVERIFY(WriteFile(folder.filePath(QStringLiteral("earlier.htm"))));
    FileDialog dialog(m_Owner.get());
    dialog.SetFilter(kHTMLFilter);
    // The dialog opens in the folder of the previous choice, with it preselected.
    dialog.SetFileName(folder.filePath(QStringLiteral("earlier.htm")));

    ModalAnswers answers;
    answers.Then(TypeNameAndPressEnter(typed.replace(QStringLiteral("<folder>"), folder.path())));
    QVERIFY(!Cancelled([&] { Show(dialog, showing); }));

    QVERIFY(answers.AllAnswered());
    QCOMPARE(dialog.FileName(), QDir(folder.path()).absoluteFilePath(chosenName));
}

void FileDialogTest::cancelRaisesTheCancelErrorAndKeepsFileName_data() {
    QTest::addColumn<Showing>("showing");
    QTest::newRow("open") << Showing::Open;
    QTest::newRow("save") << Showing::Save;
}

void FileDialogTest::cancelRaisesTheCancelErrorAndKeepsFileName() {
    QFETCH(Showing, showing);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString previous = folder.filePath(QStringLiteral("earlier.htm"));
    QVERIFY(WriteFile(previous));
    FileDialog dialog(m_Owner.get());
    dialog.SetFilter(kHTMLFilter);
    dialog.SetFileName(previous);

    ModalAnswers answers;
    // The user first types another name, then thinks better of it.
    answers.Then([&](QWidget* window) {
        if (auto* name = window->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->setText(QStringLiteral("other.htm"));
        }
        QTest::keyClick(window, Qt::Key_Escape);
    });
    QVERIFY(Cancelled([&] { Show(dialog, showing); }));

    QVERIFY(answers.AllAnswered());
    QCOMPARE(dialog.FileName(), previous);
}

void FileDialogTest::saveOnAnExistingFileAsksNothingOfItsOwn() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString existing = folder.filePath(QStringLiteral("page.php"));
    QVERIFY(WriteFile(existing));
    FileDialog dialog(m_Owner.get());
    dialog.SetFilter(QStringLiteral("PHP Files (*.PHP)|* .PHP"));

    bool askedAgain = false;
    ModalAnswers answers;
    answers.Then(TypeNameAndPressEnter(existing, &askedAgain));
    QVERIFY(!Cancelled([&] { dialog.ShowSave(); }));

    QVERIFY(!askedAgain);
    QCOMPARE(dialog.FileName(), existing);
}

QTEST_MAIN(FileDialogTest)
#include "FileDialogTest.moc"
