// The main window's state and its rules, kept apart from its widgets.
#include "WindowModel.h"

#include "CodePage1252.h"
#include "Converter.h"
#include "EngineText.h"

#include <QScopeGuard>
#include <QStringList>

namespace quillomatic {

WindowModel::WindowModel(std::string stagingFolder) : m_StagingFolder(std::move(stagingFolder)) {}

void WindowModel::Run(const QString& html) {
    DropEdits();
    Converter converter(m_StagingFolder);
    converter.SetSourceHTMLText(EngineText::FromWindow(html));
    m_Staging.BeginRun();
    for (const std::size_t row : RunOrder()) {
        // Recorded also when the conversion fails: the file made stays.
        const auto recordStaging =
            qScopeGuard([&] { m_Staging.Add(converter.StagingFileName()); });
        converter.ConvertTo(*kScriptViews[row].Format);
        m_Scripts[row] = converter.TakeConvertedSource();
    }
    m_ConvertedHTML = html;
    m_HTMLChanged = false;
}

QString WindowModel::ScriptToShow(std::size_t row) {
    if (m_Edits[row]) {
        return *m_Edits[row];
    }
    // The engine names UTF-8 for the box's text; a page that came in as
    // Windows-1252 shows the directive it is saved with. The kept script is
    // relabelled itself, every time, since a copy would double a large
    // script's memory: the label is its tail, and names either encoding.
    Relabel(m_Scripts[row], m_LoadedEncoding);
    return EngineText::ToWindow(m_Scripts[row]);
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
