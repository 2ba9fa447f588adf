// The main window's rules, without its widgets: what a run keeps, which edits
// go, and how a script is shown and saved.
#include "WindowModel.h"

#include "Converter.h"

#include <QTemporaryDir>
#include <QTest>

using quillomatic::TextEncoding;
using quillomatic::WindowModel;

namespace {

constexpr std::size_t kJSP = 3; // rows of kScriptViews, in the toolbar's order
constexpr std::size_t kPHP = 2;

// The script the engine makes of `html` in the format of `row`.
QString EngineScript(std::size_t row, const QString& html) {
    quillomatic::Converter converter(QDir::tempPath().toStdString());
    const std::string script =
        converter.ConvertTo(*quillomatic::kScriptViews[row].Format, html.toStdString());
    QFile::remove(QString::fromStdString(converter.StagingFileName()));
    return QString::fromStdString(script);
}

} // namespace

class WindowModelTest : public QObject {
    Q_OBJECT

private slots:
    void ARunKeepsEachScriptOnceAndDropsTheEdits();
    void TheEditsARunWouldDropAreNamed_data();
    void TheEditsARunWouldDropAreNamed();
    void AScriptNamesTheEncodingItIsSavedIn_data();
    void AScriptNamesTheEncodingItIsSavedIn();
    void AFailedRunLeavesTheLastOne();
};

void WindowModelTest::ARunKeepsEachScriptOnceAndDropsTheEdits() {
    QTemporaryDir staging;
    WindowModel model(staging.path().toStdString());
    const QString html = QStringLiteral("<p class=\"x\">$5 caf\u00E9</p>\r\nlast");
    model.SetHTMLChanged(true);
    model.Run(html);
    QCOMPARE(model.ConvertedHTML(), html.toStdString());
    QVERIFY(!model.HTMLChanged());
    for (std::size_t row = 0; row < quillomatic::kScriptViews.size(); ++row) {
        QCOMPARE(model.ScriptToShow(row), EngineScript(row, html));
    }
    // Each format's page staged, and its script kept.
    QCOMPARE(QDir(staging.path()).entryList(QDir::Files).size(), 10);
    model.SetShownRow(kPHP);
    model.KeepEdit(QStringLiteral("<?php // mine"));
    QCOMPARE(model.ScriptToShow(kPHP), QStringLiteral("<?php // mine"));
    model.Run(html + QStringLiteral("!"));
    QVERIFY(model.EditedScripts().isEmpty());
    QVERIFY(!model.ShownRow());
    QCOMPARE(model.ScriptToShow(kPHP), EngineScript(kPHP, html + QStringLiteral("!")));
    QCOMPARE(QDir(staging.path()).entryList(QDir::Files).size(), 10); // the run before's went
}

void WindowModelTest::TheEditsARunWouldDropAreNamed_data() {
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("named");
    QTest::newRow("none") << QList<int>{} << QString();
    QTest::newRow("one") << QList<int>{4} << QStringLiteral("the Perl script");
    QTest::newRow("two") << QList<int>{2, 4} << QStringLiteral("the PHP and Perl scripts");
    QTest::newRow("three, in the toolbar's order")
        << QList<int>{4, 0, 2} << QStringLiteral("the ASP, PHP and Perl scripts");
}

void WindowModelTest::TheEditsARunWouldDropAreNamed() {
    QFETCH(QList<int>, rows);
    QFETCH(QString, named);
    WindowModel model;
    for (const int row : rows) {
        model.SetShownRow(static_cast<std::size_t>(row));
        model.KeepEdit(QStringLiteral("edited"));
    }
    QCOMPARE(model.EditedScripts(), named);
    model.DropEdits();
    QVERIFY(model.EditedScripts().isEmpty());
}

void WindowModelTest::AScriptNamesTheEncodingItIsSavedIn_data() {
    QTest::addColumn<TextEncoding>("loaded");
    QTest::addColumn<QString>("typed"); // after the page's text
    QTest::addColumn<bool>("losesCharacters");
    QTest::addColumn<QString>("shownLabel");
    QTest::addColumn<QString>("savedLabel"); // when the user, asked, prefers UTF-8
    const QString utf8 = QStringLiteral("<%@ page pageEncoding=\"UTF-8\" %>");
    const QString single = QStringLiteral("<%@ page pageEncoding=\"ISO-8859-1\" %>");
    QTest::newRow("typed") << TextEncoding::UTF8 << QStringLiteral("\u65E5") << false << utf8
                           << utf8;
    QTest::newRow("Windows-1252 page") << TextEncoding::Windows1252 << QString() << false
                                       << single << single;
    QTest::newRow("Windows-1252 page, a character it lacks")
        << TextEncoding::Windows1252 << QStringLiteral("\u65E5") << true << single << utf8;
}

void WindowModelTest::AScriptNamesTheEncodingItIsSavedIn() {
    QFETCH(TextEncoding, loaded);
    QFETCH(QString, typed);
    QFETCH(bool, losesCharacters);
    QFETCH(QString, shownLabel);
    QFETCH(QString, savedLabel);
    QTemporaryDir staging;
    WindowModel model(staging.path().toStdString());
    model.SetLoadedEncoding(loaded);
    model.Run(QStringLiteral("<p>\u201Cquoted\u201D caf\u00E9</p>\r\n") + typed);
    const QString shown = model.ScriptToShow(kJSP);
    QVERIFY2(shown.endsWith(QStringLiteral("%>") + shownLabel), qPrintable(shown));
    const std::string script = shown.toStdString();
    QCOMPARE(model.SavingLosesCharacters(script), losesCharacters);
    const TextEncoding saved = model.SavedEncoding(losesCharacters);
    QVERIFY(QString::fromStdString(WindowModel::Labelled(script, saved)).endsWith(savedLabel));
    model.SetLoadedEncoding(TextEncoding::UTF8); // the box emptied, and the page typed again
    QVERIFY(
        model.ScriptToShow(kJSP).endsWith(QStringLiteral("%><%@ page pageEncoding=\"UTF-8\" %>")));
}

void WindowModelTest::AFailedRunLeavesTheLastOne() {
    QTemporaryDir staging;
    WindowModel model(staging.path().toStdString());
    model.Run(QStringLiteral("<p>first</p>"));
    const QString php = model.ScriptToShow(kPHP);
    model.SetHTMLChanged(true);
    model.SetStagingFolder("/proc"); // takes no file
    QVERIFY_THROWS_EXCEPTION(std::exception, model.Run(QStringLiteral("<p>second</p>")));
    QCOMPARE(model.ConvertedHTML(), std::string("<p>first</p>"));
    QVERIFY(model.HTMLChanged());
    QCOMPARE(model.ScriptToShow(kPHP), php);
}

QTEST_GUILESS_MAIN(WindowModelTest)
#include "WindowModelTest.moc"
