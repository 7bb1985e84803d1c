#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The helper that every dialog test relies on.
class tst_MessageBoxHelper : public QObject
{
    Q_OBJECT

private slots:
    void severalBoxesInARow()
    {
        MessageBoxHelper boxes;
        boxes.press(QMessageBox::No);
        boxes.press(QStringLiteral("Yes"));
        const auto first = QMessageBox::question(nullptr, QStringLiteral("提示"), QStringLiteral("一"),
                                                 QMessageBox::Yes | QMessageBox::No);
        const auto second = QMessageBox::question(nullptr, QStringLiteral("提示"), QStringLiteral("二"),
                                                  QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(first, QMessageBox::No);
        QCOMPARE(second, QMessageBox::Yes);
        QCOMPARE(boxes.texts(), QStringList({"一", "二"}));
        QCOMPARE(boxes.boxes().at(0).title, QStringLiteral("提示"));
        QCOMPARE(boxes.boxes().at(0).buttons.size(), 2);
        QCOMPARE(boxes.boxes().at(0).pressed, QStringLiteral("No"));
        QCOMPARE(boxes.pendingAnswers(), 0);

        // Without an answer, or with one the box does not have, the least committal button.
        QCOMPARE(QMessageBox::question(nullptr, "t", "q", QMessageBox::Yes | QMessageBox::No), QMessageBox::No);
        QCOMPARE(QMessageBox::warning(nullptr, QStringLiteral("警告"), "w"), QMessageBox::Ok);
        boxes.press(QMessageBox::Save);
        QCOMPARE(QMessageBox::question(nullptr, "t", "q2", QMessageBox::Ok | QMessageBox::Cancel),
                 QMessageBox::Cancel);
        QCOMPARE(boxes.count(), 5);
        QCOMPARE(boxes.last().pressed, QString());
    }

    void dialogHandlerAndBoxOpenedFromIt()
    {
        MessageBoxHelper boxes;
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("dialog_Name"));
        auto *edit = new QLineEdit(&dialog);
        auto *ok = new QPushButton(QStringLiteral("确定"), &dialog);
        QObject::connect(ok, &QPushButton::clicked, &dialog, [&]() {
            if (edit->text().isEmpty())
                QMessageBox::information(&dialog, QStringLiteral("警告"), QStringLiteral("名称不能为空！"));
            else
                dialog.accept();
        });
        boxes.onDialog([&](QWidget *w) {
            QCOMPARE(w, &dialog);
            ok->click();                 // refused with a box, answered inside
            edit->setText(QStringLiteral("P1"));
            ok->click();
        }, "QDialog");
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(boxes.count(), 2);
        QVERIFY(!boxes.boxes().at(0).isMessageBox);
        QCOMPARE(boxes.boxes().at(0).objectName, QStringLiteral("dialog_Name"));
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("名称不能为空！")});

        // Shown again, the same dialog is handled again by the next handler.
        boxes.rejectDialog();
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(boxes.count(), 3);
    }
};

QTEST_MAIN(tst_MessageBoxHelper)
#include "tst_MessageBoxHelper.moc"
