// drawpictures: draws the window pictures, the About picture and the application icon of
// Quenbry with QPainter, so anyone can change and redraw them.
//
//   drawpictures OUTPUT_FOLDER [--preview PREVIEW_FOLDER]
//
// Run it with QT_QPA_PLATFORM=offscreen. Fonts: DejaVu Sans and DejaVu Sans Bold from Debian's
// fonts-dejavu-core.

#include <cstdio>

#include <QCommandLineParser>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

#include "painthelpers.h"
#include "pictures.h"
#include "preview.h"

using namespace Qt::StringLiterals;

namespace {

// The pictures are committed, so they must not change with whatever fonts a machine happens
// to have: load the two faces by file and refuse to draw with a substitute.
bool LoadFonts()
{
    const QString folder = u"/usr/share/fonts/truetype/dejavu/"_s;
    for (const QString &file : {u"DejaVuSans.ttf"_s, u"DejaVuSans-Bold.ttf"_s}) {
        if (QFontDatabase::addApplicationFont(folder + file) < 0) {
            std::fprintf(stderr, "drawpictures: cannot load %s (install fonts-dejavu-core)\n",
                         qPrintable(folder + file));
            return false;
        }
    }
    for (const bool bold : {false, true}) {
        const QFontInfo info(SansFont(12, bold));
        if (info.family() != u"DejaVu Sans"_s || info.bold() != bold) {
            std::fprintf(stderr, "drawpictures: DejaVu Sans was replaced by %s\n",
                         qPrintable(info.family()));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Draws Quenbry's window pictures and icon."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"output"_s, u"Folder that receives the pictures."_s);
    const QCommandLineOption previewOption(
        u"preview"_s, u"Also compose mock-ups of the windows into <folder>."_s, u"folder"_s);
    parser.addOption(previewOption);
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    if (!LoadFonts())
        return 1;

    const TPictureSet set = DrawAllPictures();
    QString error;
    if (!SavePictures(set, parser.positionalArguments().constFirst(), &error)) {
        std::fprintf(stderr, "drawpictures: %s\n", qPrintable(error));
        return 1;
    }
    if (parser.isSet(previewOption) && !WritePreviews(set, parser.value(previewOption), &error)) {
        std::fprintf(stderr, "drawpictures: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
