#include "tmainform.h"

#include "filehelpers.h"
#include "privatefolder.h"
#include "processvariables.h"
#include "tworkthreadinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>

using namespace Qt::StringLiterals;

TMainForm *MainForm = nullptr;

TMainForm::TMainForm(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint)
{
    setWindowTitle(u"Ostrel Quenbry "_s);
    setFixedSize(630, 530);
    move(316, 240);
    sb_status = new QLabel(this);
    sb_status->move(82, 430);
    FormCreate();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::FormCreate()
{
    IsConverting = false;

    QString temp;
    GetTempDirectory(temp);
    const QString folder = temp + u"Quenbry"_s + QDir::separator();
    QString reason;
    // An unusable folder must stop the program here: every later step, the clean-up at close
    // above all, relies on WorkDir naming a private folder that exists.
    if (!PreparePrivateFolder(folder, &reason)) {
        FStartupError = u"The work folder %1 cannot be created: %2"_s.arg(folder, reason);
        return;
    }
    WorkDir = WithTrailingSeparator(ShortPathName(folder));
    if (WorkDir.isEmpty()) {
        FStartupError = u"The work folder %1 cannot be created: %2"_s.arg(
            folder, u"its path cannot be resolved"_s);
        return;
    }

    FWorkInfo = std::make_unique<TWorkThreadInfo>();
    LoadApplicationInfo();
    UpdateView();
    ExtractEncoder();
}

void TMainForm::FormDestroy()
{
    // Never with an empty WorkDir: the pattern would then name the current folder.
    if (!WorkDir.isEmpty())
        DeleteFolderContents(WorkDir + u'*');
    FWorkInfo.reset();
}

void TMainForm::UpdateView()
{
    sb_status->setText(FViewIndex == 0 ? u"Add or delete video files. "_s
                                       : u"Output settings view. "_s);
    sb_status->adjustSize();
}

void TMainForm::ExtractEncoder()
{
    const QString target = WorkDir + EncoderFileName();
    QString reason;
    if (!SaveResourceToFile(u"exefile"_s, u"av"_s, target, &reason)) {
        FStartupError = u"The encoder %1 cannot be written: %2"_s.arg(target, reason);
        return;
    }
    if (!CanExecuteFile(target, &reason))
        FStartupError = u"The encoder %1 cannot be run: %2"_s.arg(target, reason);
}

void TMainForm::LoadApplicationInfo()
{
    const QString path = WithTrailingSeparator(QCoreApplication::applicationDirPath())
                         + u"config.ini"_s;
    AppInfo = ReadApplicationInfo(path);
}
