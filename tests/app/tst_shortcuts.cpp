// The shortcut table read from hand-edited profiles, random profiles held to
// the same rules, and the help sheet and tooltips that show it.
#include "TestEnvironment.h"

#include "app/InterfaceFont.h"
#include "app/ShortcutSheet.h"
#include "app/Shortcuts.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>

#include <functional>
#include <iterator>

namespace {
constexpr int kRandomProfiles = 300;
constexpr quint32 kRandomSeed = 20240611;
// What random profiles pick from: free keys, other actions' defaults, the
// A/B key C, and values that are no single key.
const char* const kRandomValues[] = {"F5", "F6", "Ctrl+B", "D", "H", "Space", "1", "C", "", "Foo", "Ctrl+X, Ctrl+Y"};

QString quoted(const QString& description)
{
    return QStringLiteral("“%1”仍用").arg(description);
}
} // namespace

class ShortcutsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_files = 0;

private slots:
    void eachActionGetsOneKeyOfItsOwn_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QString>("moved"); // "Action=Key ...": the actions off their default; "?" for random rows
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("taken") << QByteArray("Blind=Ctrl+B\nPlayPause=F5\nPreviousSentence=ctrl+left\nDrill=D\n")
                               << QStringLiteral("Blind=Ctrl+B PlayPause=F5 PreviousSentence=Ctrl+Left")
                               << QStringList();
        QTest::newRow("empty") << QByteArray("Blind=\nDrill=\"  \"\n") << QString() << QStringList();
        QTest::newRow("garbage") << QByteArray("Drill=Foo\nBlind=Ctrl+\n") << QString()
                                 << QStringList{QStringLiteral("无法识别快捷键“Foo”，“自动跟读 开/关”仍用 D"),
                                                QStringLiteral("无法识别快捷键“Ctrl+”，“盲听 开/关”仍用 H")};
        QTest::newRow("chord") << QByteArray("Reveal=Ctrl+X, Ctrl+Y\n") << QString()
                               << QStringList{QStringLiteral("“Ctrl+X, Ctrl+Y”不是单个按键，“盲听时显示本句”仍用 V")};
        QTest::newRow("C compares") << QByteArray("Reveal=C\nBlind=Shift+C\n") << QStringLiteral("Blind=Shift+C")
                                    << QStringList{QStringLiteral("快捷键 C 已被“对比：原句再录音”占用，“盲听时显示本句”仍用 V")};
        QTest::newRow("a default") << QByteArray("Blind=D\nRecord=Space\n") << QString()
                                   << QStringList{QStringLiteral("快捷键 空格 已被“播放/暂停”占用，“开始/停止录音”仍用 R"),
                                                  QStringLiteral("快捷键 D 已被“自动跟读 开/关”占用，“盲听 开/关”仍用 H")};
        QTest::newRow("two changed") << QByteArray("Blind=F5\nDrill=F5\n") << QStringLiteral("Drill=F5")
                                     << QStringList{QStringLiteral("快捷键 F5 已被“自动跟读 开/关”占用，“盲听 开/关”仍用 H")};
        QTest::newRow("swapped") << QByteArray("Drill=H\nBlind=D\n") << QStringLiteral("Drill=H Blind=D")
                                 << QStringList();
        // Blind loses F5 to Drill and goes back to H, which Translations had taken.
        QTest::newRow("cascade") << QByteArray("Drill=F5\nBlind=F5\nTranslations=H\n") << QStringLiteral("Drill=F5")
                                 << QStringList{QStringLiteral("快捷键 H 已被“盲听 开/关”占用，“显示/隐藏译文”仍用 T"),
                                                QStringLiteral("快捷键 F5 已被“自动跟读 开/关”占用，“盲听 开/关”仍用 H")};

        QRandomGenerator random(kRandomSeed);
        for (int profile = 0; profile < kRandomProfiles; ++profile) {
            QByteArray group;
            for (KeyAction action : kKeyActions)
                if (random.bounded(3) == 0)
                    group += profileName(action).toLatin1() + '=' +
                             kRandomValues[random.bounded(int(std::size(kRandomValues)))] + '\n';
            QTest::addRow("random %d", profile) << group << QStringLiteral("?") << QStringList();
        }
    }

    void eachActionGetsOneKeyOfItsOwn()
    {
        QFETCH(QByteArray, group);
        QFETCH(QString, moved);
        QFETCH(QStringList, messages);
        // A file of its own each time: QSettings caches a file by name.
        const QString path = m_dir.filePath(QStringLiteral("profile%1.ini").arg(++m_files));
        testenv::writeFile(path, "[General]\nPhase=1\n[Shortcuts]\n" + group);
        const QSettings profile(path, QSettings::IniFormat);
        QStringList refused;
        const KeyMap map = readKeyMap(profile, &refused);

        QSet<QKeySequence> keys;
        for (KeyAction action : kKeyActions) {
            const QKeySequence key = map.key(action);
            QVERIFY2(!keys.contains(key), qPrintable(key.toString()));
            keys.insert(key);
            // Whatever the profile says, an action ends on what it asked for or on
            // its default, and only in the second case with a word why. An
            // unquoted value with a comma comes back from the file as a list.
            const QString asked = profile.value(QStringLiteral("Shortcuts/") + profileName(action))
                                      .toStringList()
                                      .join(QStringLiteral(", "))
                                      .trimmed();
            const QKeySequence askedKey = QKeySequence::fromString(asked);
            if (key != defaultKey(action))
                QCOMPARE(key, askedKey);
            const bool refusedHere = !asked.isEmpty() && askedKey != defaultKey(action) && key == defaultKey(action);
            QCOMPARE(refused.filter(quoted(description(action))).size(), qsizetype(refusedHere ? 1 : 0));
        }
        if (moved == QLatin1String("?"))
            return;

        QCOMPARE(refused, messages);
        QStringList off;
        for (KeyAction action : kKeyActions)
            if (map.key(action) != defaultKey(action))
                off.append(profileName(action) + QLatin1Char('=') + map.key(action).toString());
        QStringList movedList = moved.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        movedList.sort();
        off.sort();
        QCOMPARE(off, movedList);
    }

    void theLearnerSeesTheKeys()
    {
        preferSimplifiedChinese();
        const QString path = m_dir.filePath(QStringLiteral("sheet.ini"));
        testenv::writeFile(path, "[Shortcuts]\nBlind=Ctrl+B\nHelp=F2\n");
        const QSettings profile(path, QSettings::IniFormat);
        const KeyMap map = readKeyMap(profile, nullptr);

        ShortcutSheet sheet(map);
        QCOMPARE(sheet.windowTitle(), QStringLiteral("快捷键"));
        auto* table = sheet.findChild<QTableWidget*>(QStringLiteral("keys"));
        QVERIFY(table);
        QCOMPARE(table->rowCount(), kKeyActionCount);
        for (KeyAction action : kKeyActions) {
            QCOMPARE(table->item(int(action), ShortcutSheet::KeyColumn)->text(), learnerKeyText(map.key(action)));
            QCOMPARE(table->item(int(action), ShortcutSheet::ActionColumn)->text(), description(action));
        }
        for (const auto& [action, seen] : {std::pair(KeyAction::PlayPause, "空格"), {KeyAction::PreviousSentence, "←"},
                                           {KeyAction::Slower, "["}, {KeyAction::Blind, "Ctrl+B"}})
            QCOMPARE(table->item(int(action), ShortcutSheet::KeyColumn)->text(), QString::fromUtf8(seen));
        QCOMPARE(learnerKeyText(QKeySequence(Qt::CTRL | Qt::Key_Right)), QStringLiteral("Ctrl+→"));

        // Every row in sight, under a header in the artwork's blue.
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QCOMPARE(table->verticalScrollBar()->isVisible(), false);
        QCOMPARE(table->rowAt(table->viewport()->height() - 1), kKeyActionCount - 1);
        const QImage shot = sheet.grab().toImage();
        const QPoint inHeader = table->horizontalHeader()->mapTo(&sheet, QPoint(2, 2)) * shot.devicePixelRatio();
        QCOMPARE(shot.pixelColor(inHeader), QColor(0x18, 0x78, 0xa4));

        // Esc, the help key as the map has it, and the close button put it away.
        const auto closes = [&sheet](const std::function<void()>& how) {
            sheet.show();
            sheet.activateWindow();
            if (!QTest::qWaitForWindowActive(&sheet))
                return false;
            how();
            return QTest::qWaitFor([&sheet] { return !sheet.isVisible(); });
        };
        QVERIFY(closes([&sheet] { QTest::keyClick(&sheet, Qt::Key_Escape); }));
        QVERIFY(closes([&sheet] { QTest::keyClick(&sheet, Qt::Key_F2); }));
        auto* close = sheet.findChild<QPushButton*>(QStringLiteral("close"));
        QVERIFY(closes([close] { QTest::mouseClick(close, Qt::LeftButton); }));

        QCOMPARE(tooltipWith(QStringLiteral("播放速度"), {map.key(KeyAction::Slower), map.key(KeyAction::Faster)}),
                 QStringLiteral("播放速度 (快捷键 [ / ])"));
        QCOMPARE(tooltipWith(QStringLiteral("盲听"), map.key(KeyAction::Blind)), QStringLiteral("盲听 (快捷键 Ctrl+B)"));
        QCOMPARE(tooltipWith(QStringLiteral("盲听"), QKeySequence()), QStringLiteral("盲听"));
    }
};

REPETA_TEST_MAIN(ShortcutsTest)
#include "tst_shortcuts.moc"
