// The main window's state and its rules, kept apart from its widgets.
#include "WindowModel.h"

#include "CodePage1252.h"
#include "Converter.h"
#include "EngineText.h"

#include <QScopeGuard>
#include <QStringList>

namespace quillomatic {

WindowModel::WindowModel(std::string stagingFolder) : m_StagingFolder(std::move(stagingFolder)) {}

void WindowModel::Run(QString html) {
    DropEdits();
    const qsizetype characters = html.size() - html.count(QLatin1String("\r\n"));
    // Kept in the engine's form, half the size of the window's, which goes
    // before the scripts are made.
    std::string converted = EngineText::FromWindow(html);
    html = QString();
    Converter converter(m_StagingFolder);
    converter.SetSourceHTMLText(converted);
    m_Staging.BeginRun();
    for (const std::size_t row : RunOrder()) {
        // Recorded also when the conversion fails: the file made stays.
        const auto recordStaging =
            qScopeGuard([&] { m_Staging.Add(converter.StagingFileName()); });
        converter.ConvertTo(*kScriptViews[row].Format);
        ScriptFile script(m_StagingFolder, converter.TakeConvertedSource());
        m_Staging.Add(script.Name());
        m_Scripts[row] = std::move(script);
    }
    m_ConvertedHTML = std::move(converted);
    m_ConvertedCharacters = characters;
    m_HTMLChanged = false;
}

QString WindowModel::ScriptToShow(std::size_t row) {
    if (m_Edits[row]) {
        return *m_Edits[row];
    }
    if (!m_Scripts[row]) {
        return {};
    }
    // The engine names UTF-8 for the box's text; a page that came in as
    // Windows-1252 shows the directive it is saved with.
    return EngineText::ToWindow(Labelled(m_Scripts[row]->Read(), m_LoadedEncoding));
}

void WindowModel::KeepEdit(QString script) {
    if (m_ShownRow) {
        m_Edits[*m_ShownRow] = std::move(script);
    }
}

QString WindowModel::EditedScripts() const {
    QStringList edited;
    for (std::size_t row = 0; row < kScriptViews.size(); ++row) {
        if (m_Edits[row]) {
            edited << EngineText::ToWindow(kScriptViews[row].Format->Name);
        }
    }
    if (edited.isEmpty()) {
        return {};
    }
    const QString last = edited.takeLast();
    return QStringLiteral("the ") +
           (edited.isEmpty() ? last + QStringLiteral(" script")
                             : edited.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last +
                                   QStringLiteral(" scripts"));
}

void WindowModel::DropEdits() {
    m_Edits = {};
    m_ShownRow.reset();
}

bool WindowModel::SavingLosesCharacters(std::string_view script) const {
    return m_LoadedEncoding == TextEncoding::Windows1252 && !CodePage1252::CanEncode(script);
}

std::string WindowModel::Labelled(std::string script, TextEncoding encoding) {
    Relabel(script, encoding);
    return script;
}

} // namespace quillomatic
