#include "tthumbitems.h"

#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

QStringList Names(const TThumbItems &items)
{
    QStringList names;
    for (int i = 0; i < items.Count(); ++i)
        names << items.Items(i)->FileName();
    return names;
}

void Fill(TThumbItems &items, const QStringList &names)
{
    for (const QString &name : names)
        items.Add()->setFileName(name);
}

} // namespace

class TestThumbItems : public QObject
{
    Q_OBJECT

private slots:
    void keepsOrder();
    void refusesBadIndex_data();
    void refusesBadIndex();
};

// Guards against removal or addition out of order (the list order is the conversion order).
void TestThumbItems::keepsOrder()
{
    TThumbItems items;
    Fill(items, {u"a.avi"_s, u"b.avi"_s, u"c.avi"_s, u"d.avi"_s});
    QVERIFY(items.Items(0)->Bitmap().isNull());
    items.Delete(1);
    QCOMPARE(Names(items), QStringList({u"a.avi"_s, u"c.avi"_s, u"d.avi"_s}));
    items.Delete(2);
    QCOMPARE(Names(items), QStringList({u"a.avi"_s, u"c.avi"_s}));
    TThumbItem *added = items.Add();
    QCOMPARE(items.Items(2), added);
    items.Clear();
    QCOMPARE(items.Count(), 0);
}

void TestThumbItems::refusesBadIndex_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::newRow("negative") << 3 << -1;
    QTest::newRow("equal to the count") << 3 << 3;
    QTest::newRow("far beyond") << 3 << 1000;
    QTest::newRow("empty list") << 0 << 0;
}

// Guards against reading or erasing outside the list.
void TestThumbItems::refusesBadIndex()
{
    QFETCH(int, count);
    QFETCH(int, index);
    TThumbItems items;
    for (int i = 0; i < count; ++i)
        items.Add();
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, items.Items(index));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, items.Delete(index));
    QCOMPARE(items.Count(), count);
    try {
        items.Items(index);
    } catch (const std::out_of_range &error) {
        QVERIFY2(QByteArray(error.what()).contains(QByteArray::number(index)), error.what());
    }
}

QTEST_GUILESS_MAIN(TestThumbItems)
#include "tst_thumbitems.moc"
