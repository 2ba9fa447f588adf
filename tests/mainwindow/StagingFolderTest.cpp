// The program's own staging folder: made at start, used for every conversion,
// cleared of old staging files, and left for the folder the program was
// started from when it cannot be made. Each test points XDG_CACHE_HOME and
// HOME into a folder of its own.
#include "StagingFolder.h"

#include "ModalAnswers.h"
#include "Toolbar.h"
#include "ToolbarButton.h"
#include "frmMain.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

using quillomatic::frmMain;
using quillomatic::StagingFolder;
using quillomatic::Toolbar;
using quillomatic::testing::ModalAnswers;

namespace {

bool SetModified(const QString& path, const QDateTime& modified) {
    const timespec times[2] = {{0, UTIME_OMIT}, {modified.toSecsSinceEpoch(), 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

void WriteFile(const QString& path, const QDateTime& modified) {
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<p>staged</p>\r\n");
    }
    QVERIFY(SetModified(path, modified));
}

QStringList StagingFilesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("qm*.tmp")}, QDir::Files, QDir::Name);
}

mode_t PermissionsOf(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 07777;
}

// Answers a file dialog by noting the folder it opened in and cancelling it.
ModalAnswers::Answer NoteFolderAndCancel(QString* folder) {
    return [folder](QWidget* window) {
        if (auto* dialog = qobject_cast<QFileDialog*>(window)) {
            *folder = dialog->directory().absolutePath();
        }
        window->close();
    };
}

} // namespace

class StagingFolderTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ConversionsStageInTheProgramsOwnFolder_data();
    void ConversionsStageInTheProgramsOwnFolder();
    void OnlyStagingFilesOlderThanAWeekAreRemoved();
    void WithoutItsFolderTheProgramStaysWhereStarted_data();
    void WithoutItsFolderTheProgramStaysWhereStarted();

private:
    QString In(const QString& name) const { return m_Root->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_Root;
    QString m_PreviousFolder;
    QByteArray m_PreviousHome;
    QByteArray m_PreviousCache;
    bool m_HadCache = false;
};

void StagingFolderTest::init() {
    m_Root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Root->isValid());
    m_PreviousFolder = QDir::currentPath();
    m_PreviousHome = qgetenv("HOME");
    m_HadCache = qEnvironmentVariableIsSet("XDG_CACHE_HOME");
    m_PreviousCache = qgetenv("XDG_CACHE_HOME");
    QVERIFY(QDir(m_Root->path()).mkpath(QStringLiteral("home")));
    QVERIFY(QDir(m_Root->path()).mkpath(QStringLiteral("start")));
    qputenv("HOME", QFile::encodeName(In(QStringLiteral("home"))));
    qunsetenv("XDG_CACHE_HOME");
    // Where the user started the program.
    QVERIFY(QDir::setCurrent(In(QStringLiteral("start"))));
}

void StagingFolderTest::cleanup() {
    QDir::setCurrent(m_PreviousFolder);
    qputenv("HOME", m_PreviousHome);
    if (m_HadCache) {
        qputenv("XDG_CACHE_HOME", m_PreviousCache);
    } else {
        qunsetenv("XDG_CACHE_HOME");
    }
    m_Root.reset();
}

void StagingFolderTest::ConversionsStageInTheProgramsOwnFolder_data() {
    QTest::addColumn<QString>("cacheHome"); // relative to the test's folder; "-" unset
    QTest::addColumn<QString>("folder");
    QTest::newRow("XDG_CACHE_HOME")
        << QStringLiteral("/cache") << QStringLiteral("cache/quillomatic");
    QTest::newRow("HOME alone") << QStringLiteral("-") << QStringLiteral("home/.cache/quillomatic");
    QTest::newRow("relative XDG_CACHE_HOME, ignored")
        << QStringLiteral("cache") << QStringLiteral("home/.cache/quillomatic");
}

void StagingFolderTest::ConversionsStageInTheProgramsOwnFolder() {
    QFETCH(QString, cacheHome);
    QFETCH(QString, folder);
    if (cacheHome.startsWith(QLatin1Char('/'))) {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_Root->path() + cacheHome));
    } else if (cacheHome != QStringLiteral("-")) {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome));
    }
    const QString staging = In(folder);
    const QString start = In(QStringLiteral("start"));

    // As the program starts.
    auto window = std::make_unique<frmMain>();
    StagingFolder own;
    QVERIFY(own.Prepare());
    QCOMPARE(own.Path(), staging);
    window->SetStagingFolder(own.Path());
    window->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    QCOMPARE(QDir::currentPath(), start);
    QCOMPARE(PermissionsOf(staging), mode_t{0700});
    auto* html = window->findChild<QWidget*>(QStringLiteral("txtHTML"));
    QTest::keyClicks(html, QStringLiteral("<p>"));
    auto* toolbar = window->findChild<Toolbar*>(QStringLiteral("xtTab"));
    QTest::mouseClick(toolbar->Button(4), Qt::LeftButton);
    QCOMPARE(StagingFilesIn(staging).size(), 10);
    QCOMPARE(StagingFilesIn(start), QStringList{});
    // Another window's staging file, made meanwhile.
    WriteFile(staging + QStringLiteral("/qm0000f00d.tmp"), QDateTime::currentDateTimeUtc());

    // The dialogs open where the program was started, then where a file was picked.
    QVERIFY(QDir(m_Root->path()).mkpath(QStringLiteral("site")));
    WriteFile(In(QStringLiteral("site/page.html")), QDateTime::currentDateTimeUtc());
    QString firstFolder;
    QString laterFolder;
    ModalAnswers answers;
    answers.Then(NoteFolderAndCancel(&firstFolder))
        .ThenPick(In(QStringLiteral("site/page.html")))
        .ThenPress(1) // yes, erase the typed HTML
        .Then(NoteFolderAndCancel(&laterFolder));
    auto* load = window->findChild<QWidget*>(QStringLiteral("cmdLoadFromFile"));
    QTest::mouseClick(toolbar->Button(1), Qt::LeftButton);
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(load, Qt::LeftButton);
    }
    QVERIFY(answers.AllAnswered());
    QCOMPARE(firstFolder, start);
    QCOMPARE(laterFolder, In(QStringLiteral("site")));

    // The window takes its own staging files with it.
    window.reset();
    QCOMPARE(StagingFilesIn(staging), QStringList{QStringLiteral("qm0000f00d.tmp")});
}

void StagingFolderTest::OnlyStagingFilesOlderThanAWeekAreRemoved() {
    qputenv("XDG_CACHE_HOME", QFile::encodeName(In(QStringLiteral("cache"))));
    const QString staging = In(QStringLiteral("cache/quillomatic"));
    QVERIFY(QDir(m_Root->path()).mkpath(QStringLiteral("cache/quillomatic/qm0000beef.tmp")));
    QVERIFY(QDir(m_Root->path()).mkpath(QStringLiteral("outside")));
    // Left open to others by someone: the program closes it again.
    QVERIFY(::chmod(QFile::encodeName(staging).constData(), 0755) == 0);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime eightDaysAgo = now.addDays(-8);
    const auto in = [&](const char* name) {
        return staging + QLatin1Char('/') + QLatin1String(name);
    };
    WriteFile(in("qm0000abcd.tmp"), eightDaysAgo);
    WriteFile(in("qm1234abcd.tmp"), now.addDays(-6));
    WriteFile(in("notes.txt"), now.addDays(-30));
    WriteFile(in("qm12345.tmp"), now.addDays(-30));
    WriteFile(In(QStringLiteral("outside/qm0000cafe.tmp")), eightDaysAgo);
    QVERIFY(QFile::link(In(QStringLiteral("outside/qm0000cafe.tmp")), in("qm0000cafe.tmp")));
    QVERIFY(SetModified(in("qm0000beef.tmp"), eightDaysAgo));

    QVERIFY(StagingFolder().Prepare(now));

    QCOMPARE(
        QDir(staging).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name),
        (QStringList{QStringLiteral("notes.txt"), QStringLiteral("qm0000beef.tmp"),
                     QStringLiteral("qm0000cafe.tmp"), QStringLiteral("qm12345.tmp"),
                     QStringLiteral("qm1234abcd.tmp")}));
    QVERIFY(QFile::exists(In(QStringLiteral("outside/qm0000cafe.tmp"))));
    QCOMPARE(PermissionsOf(staging), mode_t{0700});
}

void StagingFolderTest::WithoutItsFolderTheProgramStaysWhereStarted_data() {
    QTest::addColumn<QString>("in"); // what stands where the folder would be
    QTest::newRow("a file in the way") << QStringLiteral("file");
    // A shared folder such as /tmp, which must keep its mode and its files.
    QTest::newRow("a link to a shared folder") << QStringLiteral("link");
    QTest::newRow("someone else's folder") << QStringLiteral("foreign");
}

void StagingFolderTest::WithoutItsFolderTheProgramStaysWhereStarted() {
    QFETCH(QString, in);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(In(QStringLiteral("cache"))));
    const QString staging = In(QStringLiteral("cache/quillomatic"));
    const QString shared = In(QStringLiteral("shared"));
    QVERIFY(QDir(m_Root->path()).mkpath(QStringLiteral("shared")));
    QVERIFY(QDir(m_Root->path()).mkpath(QStringLiteral("cache")));
    QVERIFY(::chmod(QFile::encodeName(shared).constData(), 01777) == 0);
    WriteFile(shared + QStringLiteral("/qm0000abcd.tmp"), QDateTime::currentDateTimeUtc().addDays(-8));
    if (in == QStringLiteral("file")) {
        WriteFile(staging, QDateTime::currentDateTimeUtc());
    } else if (in == QStringLiteral("link")) {
        QVERIFY(QFile::link(shared, staging));
    } else if (::getuid() != 0) {
        QSKIP("only root can give a folder away");
    } else {
        QVERIFY(::rename(QFile::encodeName(shared).constData(),
                         QFile::encodeName(staging).constData()) == 0);
        QVERIFY(::chown(QFile::encodeName(staging).constData(), 65534, 65534) == 0);
    }
    QVERIFY(!StagingFolder().Prepare());
    const QString folder = in == QStringLiteral("foreign") ? staging : shared;
    if (in != QStringLiteral("file")) {
        QCOMPARE(PermissionsOf(folder), mode_t{01777});
        QVERIFY(QFile::exists(folder + QStringLiteral("/qm0000abcd.tmp")));
    }
}

QTEST_MAIN(StagingFolderTest)
#include "StagingFolderTest.moc"
