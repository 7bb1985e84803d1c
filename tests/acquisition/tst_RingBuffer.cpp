#include "acquisition/RingBuffer.h"

#include <QtTest>

class tst_RingBuffer : public QObject
{
    Q_OBJECT

private:
    static void push(RingBuffer<int> &ring, int value)
    {
        int *row = ring.append();
        for (int k = 0; k < ring.width(); ++k)
            row[k] = value * 10 + k;
    }
    // The value of every row, oldest first; -1 for a row whose elements do not belong together.
    static QList<int> firsts(const RingBuffer<int> &ring)
    {
        QList<int> result;
        for (int r = 0; r < ring.size(); ++r) {
            const int value = ring.row(r)[0] / 10;
            for (int k = 0; k < ring.width(); ++k) {
                if (ring.row(r)[k] != value * 10 + k)
                    return {-1};
            }
            result.append(value);
        }
        return result;
    }

private slots:
    // The newest rows stay, oldest first, also across wrapping, removal and clearing, within
    // the space reserved up front.
    void keepsTheNewestRowsInOrder()
    {
        RingBuffer<int> ring(4, 3);
        push(ring, 1);
        push(ring, 2);
        ring.removeFirst();
        ring.removeFirst();
        ring.removeFirst();   // empty: nothing happens
        QVERIFY(ring.isEmpty());
        for (int v = 3; v <= 10; ++v)
            push(ring, v);
        QVERIFY(ring.isFull());
        QCOMPARE(firsts(ring), QList<int>({7, 8, 9, 10}));
        ring.removeFirst();
        push(ring, 11);
        QCOMPARE(firsts(ring), QList<int>({8, 9, 10, 11}));
        QCOMPARE(ring.reservedBytes(), size_t(4 * 3 * sizeof(int)));

        ring.clear();
        QCOMPARE(ring.size(), 0);
        push(ring, 12);
        QCOMPARE(firsts(ring), QList<int>({12}));
    }
};

QTEST_MAIN(tst_RingBuffer)
#include "tst_RingBuffer.moc"
