#include "exchange/widgets/exportfortranslationdialog.h"

#include "ui/filedialogs.h"
#include "ui/messages.h"
#include "store/layout.h"

#include "ui_exportfortranslationdialog.h"

#include <QDir>
#include <QFileDialog>
#include <QPushButton>

using namespace Qt::StringLiterals;

ExportForTranslationDialog::ExportForTranslationDialog(Database &db, const QString &programFolder, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::ExportForTranslationDialog>())
    , m_db(db)
    , m_programFolder(programFolder)
{
    m_ui->setupUi(this);
    for (const QString &table : ScriptTables::all)
        m_ui->folderBox->addItem(table, table);
    m_ui->buttons->button(QDialogButtonBox::Ok)->setText(u"Export"_s);
    connect(m_ui->browseButton, &QPushButton::clicked, this, &ExportForTranslationDialog::browse);
    connect(m_ui->formatBox, &QComboBox::currentIndexChanged, this, &ExportForTranslationDialog::followFormat);
    followFormat();
}

ExportForTranslationDialog::~ExportForTranslationDialog() = default;

ExchangeFormat ExportForTranslationDialog::format() const
{
    return ExchangeFormat(m_ui->formatBox->currentIndex());
}

ExchangeScope ExportForTranslationDialog::scope() const
{
    return {m_ui->folderBox->currentData().toString(), m_ui->scriptEdit->text().trimmed(),
            m_ui->onlyUntranslatedBox->isChecked()};
}

QString ExportForTranslationDialog::target() const
{
    return m_ui->targetEdit->text().trimmed();
}

void ExportForTranslationDialog::preselect(const QString &folder, const QString &script)
{
    m_ui->folderBox->setCurrentIndex(std::max(0, m_ui->folderBox->findData(folder)));
    m_ui->scriptEdit->setText(script);
}

void ExportForTranslationDialog::followFormat()
{
    static const QString Names[] = {u"translation.xlf"_s, u"po"_s, u"memory.tmx"_s, u"glossary.csv"_s};
    const bool blocks = format() != ExchangeFormat::Glossary;
    m_ui->folderBox->setEnabled(blocks);
    m_ui->scriptEdit->setEnabled(blocks);
    m_ui->onlyUntranslatedBox->setEnabled(format() == ExchangeFormat::Xliff || format() == ExchangeFormat::Po);
    const QString suggested = QDir(QDir::homePath()).filePath(Names[int(format())]);
    if (m_ui->targetEdit->text().isEmpty() || m_ui->targetEdit->property("suggested").toBool()) {
        m_ui->targetEdit->setText(suggested);
        m_ui->targetEdit->setProperty("suggested", true);
    }
}

void ExportForTranslationDialog::browse()
{
    QFileDialog dialog(this, u"Export for Translation"_s, target());
    FileDialogs::makeSafe(dialog);
    if (format() == ExchangeFormat::Po) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        m_ui->targetEdit->setText(dialog.selectedFiles().constFirst());
        m_ui->targetEdit->setProperty("suggested", false);
    }
}

void ExportForTranslationDialog::accept()
{
    if (target().isEmpty())
        return Messages::inform(this, u"Name the file (or, for PO, the folder) to export to."_s);
    const Result<ExchangeExport> result = exportForTranslation(m_db, format(), scope(), target(), m_programFolder);
    Messages::inform(this, result ? result->message : result.error().message);
    if (result)
        QDialog::accept();
}
