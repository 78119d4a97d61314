#include "pspprofile.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

QByteArray Big32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(value, bytes.data());
    return bytes;
}

QByteArray Box(const QByteArray &type, const QByteArray &body)
{
    return Big32(quint32(8 + body.size())) + type + body;
}

// The muxer's VPRF part: size, tag, two words, codec, profile, a word, the two video bit rates,
// the frame rate twice, width and height, a last word.
QByteArray VideoPart(quint32 rate)
{
    return Box("VPRF", Big32(0) + Big32(1) + "mp4v" + Big32(0x103) + Big32(0) + Big32(rate)
                           + Big32(rate) + Big32(15 << 16) + Big32(15 << 16) + Big32(0x014000f0)
                           + Big32(0x010001));
}

QByteArray ProfileAtom(const QByteArray &videoPart)
{
    const QByteArray userType = QByteArray("PROF") + Big32(0x21d24fce) + Big32(0xbb88695c)
                                + Big32(0xfac9c740);
    const QByteArray file = Box("FPRF", Big32(0) + Big32(0) + Big32(0));
    const QByteArray audio = Box("APRF", Big32(0) + Big32(2) + "mp4a" + Big32(0x20f) + Big32(0)
                                             + Big32(128) + Big32(128) + Big32(44100) + Big32(2));
    return Box("uuid", userType + Big32(0) + Big32(3) + file + audio + videoPart);
}

QByteArray FileType(const QByteArray &compatible = "MSNVisomiso2")
{
    return Box("ftyp", QByteArray("MSNV") + Big32(0x200) + compatible);
}

QByteArray MediaData()
{
    return Box("free", {}) + Box("mdat", QByteArray(3000, '\x5a'));
}

// The file as the PSP format writes it, with 576 kbit/s stated.
QByteArray MuxerFile()
{
    return FileType() + ProfileAtom(VideoPart(576)) + MediaData();
}

} // namespace

class TestPspProfile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void patchesBothVideoRates_data();
    void patchesBothVideoRates();
    void leavesForeignFilesUntouched_data();
    void leavesForeignFilesUntouched();
    void missingFileIsNotCreated();

private:
    std::unique_ptr<QTemporaryDir> FDir;
};

void TestPspProfile::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
}

void TestPspProfile::patchesBothVideoRates_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("muxer layout") << MuxerFile()
                                  << FileType() + ProfileAtom(VideoPart(768)) + MediaData();
    QTest::newRow("longer file type atom")
        << FileType("MSNVisomiso2mp41mp42") + ProfileAtom(VideoPart(300)) + MediaData()
        << FileType("MSNVisomiso2mp41mp42") + ProfileAtom(VideoPart(768)) + MediaData();
}

// Guards against a header that states the encoder's bit rate instead of 768, and against a
// write that lands anywhere but the two fields.
void TestPspProfile::patchesBothVideoRates()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString path = FDir->filePath(u"out.mp4"_s);
    QVERIFY(WriteFile(path, before));
    QString reason;
    QVERIFY2(PatchPspVideoBitrate(path, 768, &reason), qPrintable(reason));
    QCOMPARE(ReadFile(path), after);
}

void TestPspProfile::leavesForeignFilesUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray profile = ProfileAtom(VideoPart(576));
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("no file type atom first") << Box("free", {}) + FileType() + profile;
    QTest::newRow("another atom before the profile")
        << FileType() + Box("free", {}) + profile + MediaData();
    QTest::newRow("uuid atom of another kind")
        << FileType() + QByteArray(profile).replace("PROF", "USMT") + MediaData();
    QTest::newRow("profile without video part")
        << FileType() + ProfileAtom(QByteArray()) + MediaData();
    QTest::newRow("video part shorter than its rates")
        << FileType() + ProfileAtom(Box("VPRF", QByteArray(16, '\0'))) + MediaData();
    QByteArray shortened = profile;
    shortened.replace(0, 4, Big32(quint32(profile.size() - 8)));
    QTest::newRow("video part overrunning the atom") << FileType() + shortened + MediaData();
    QTest::newRow("file cut inside the profile") << FileType() + profile.left(100);
    QTest::newRow("file type atom of size zero")
        << QByteArray(Big32(0) + "ftyp" + "MSNV") + profile;
    QTest::newRow("VPRF only deep in the media data")
        << FileType() + Box("mdat", QByteArray(5000, '\0') + VideoPart(576));
}

// Guards against patching by a fixed offset or by a stray match, which would corrupt a file
// whose layout differs.
void TestPspProfile::leavesForeignFilesUntouched()
{
    QFETCH(QByteArray, content);
    const QString path = FDir->filePath(u"out.mp4"_s);
    QVERIFY(WriteFile(path, content));
    QString reason;
    QVERIFY(!PatchPspVideoBitrate(path, 768, &reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(ReadFile(path), content);
}

// Guards against leaving an empty file behind where the encoder wrote none.
void TestPspProfile::missingFileIsNotCreated()
{
    const QString path = FDir->filePath(u"missing.mp4"_s);
    QString reason;
    QVERIFY(!PatchPspVideoBitrate(path, 768, &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!QFileInfo::exists(path));
}

QTEST_GUILESS_MAIN(TestPspProfile)
#include "tst_pspprofile.moc"
