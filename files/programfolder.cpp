#include "files/programfolder.h"

#include "store/layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

ProgramFolderFacts programFolderFacts()
{
    ProgramFolderFacts facts;
    facts.executableFolder = QCoreApplication::applicationDirPath();
    facts.executableHoldsStore = QFileInfo(programPath(facts.executableFolder, StoreFileName)).isFile();
    facts.executableWritable = QFileInfo(facts.executableFolder).isWritable();
    const QString font = QDir::cleanPath(facts.executableFolder + u'/' + QLatin1StringView(TALLOWPEN_INSTALLED_FONT));
    if (QFileInfo(font).isFile())
        facts.installedFont = font;
    // One folder for both programs, whatever each calls itself.
    facts.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/tallowpen"_s;
    return facts;
}

QString defaultFontPath(const ProgramFolderFacts &facts)
{
    if (!facts.installedFont.isEmpty())
        return facts.installedFont;
    const QString built = programPath(facts.executableFolder, u"font/font.bmp"_s);
    return QFileInfo(built).isFile() ? built : QString();
}

ProgramFolder chooseProgramFolder(const QString &homeOption, const QString &environment,
                                  const ProgramFolderFacts &facts)
{
    if (!homeOption.isEmpty())
        return {QDir(homeOption).absolutePath(), ProgramFolderSource::HomeOption};
    if (!environment.isEmpty())
        return {QDir(environment).absolutePath(), ProgramFolderSource::Environment};
    if (facts.executableHoldsStore)
        return {facts.executableFolder, ProgramFolderSource::ExecutableFolder};
    // An installed copy never writes beside its executable, even when it
    // could (root may write /usr/bin).
    if (facts.executableWritable && facts.installedFont.isEmpty())
        return {facts.executableFolder, ProgramFolderSource::ExecutableFolder};
    return {facts.userDataFolder, ProgramFolderSource::UserDataFolder};
}

Result<Done> prepareUserDataFolder(const QString &folder, const QString &defaultFont)
{
    const QString fontFolder = programPath(folder, u"font"_s);
    if (!QDir().mkpath(fontFolder))
        return Failure{u"Cannot create the program folder %1; check its parent's permissions."_s.arg(fontFolder), {}};
    const QString font = programPath(fontFolder, u"font.bmp"_s);
    if (defaultFont.isEmpty() || QFileInfo::exists(font))
        return Done{}; // a font the user put there is theirs to keep
    if (!QFile::copy(defaultFont, font)) {
        return Failure{u"Cannot copy the default font %1 to %2; the preview stays off until a font.bmp is there."_s.arg(
                           defaultFont, font),
                       {}};
    }
    return Done{};
}

ProgramFolder locateProgramFolder(const QString &homeOption)
{
    const ProgramFolderFacts facts = programFolderFacts();
    const ProgramFolder folder = chooseProgramFolder(homeOption, qEnvironmentVariable("TALLOWPEN_HOME"), facts);
    if (folder.source == ProgramFolderSource::UserDataFolder) {
        if (const Result<Done> prepared = prepareUserDataFolder(folder.path, facts.installedFont); !prepared)
            qWarning("%s", qPrintable(prepared.error().message)); // the missing store or font is reported where it is needed
    }
    return folder;
}

QString resolveProgramFolder(const QString &homeOption)
{
    return locateProgramFolder(homeOption).path;
}

QString describeProgramFolder(const ProgramFolder &folder)
{
    static const QString why[] = {u"from --home"_s, u"from $TALLOWPEN_HOME"_s, u"the program's own folder"_s,
                                  u"your data folder"_s};
    return u"Program folder: %1 (%2)"_s.arg(QDir::toNativeSeparators(folder.path), why[int(folder.source)]);
}

QString programPath(const QString &programFolder, const QString &relative)
{
    QString cleaned = relative;
    cleaned.replace(u'\\', u'/');
    while (cleaned.startsWith(u'/'))
        cleaned.remove(0, 1);
    return QDir::cleanPath(programFolder + u'/' + cleaned);
}
