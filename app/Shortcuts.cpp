#include "Shortcuts.h"

#include <QCoreApplication>
#include <QSettings>

#include <iterator>
#include <optional>

namespace {

const char* const kContext = "Shortcuts";

struct ActionEntry {
    KeyAction action;
    const char* profileName;
    Qt::Key key;
    const char* description;
};

constexpr ActionEntry kEntries[] = {
    {KeyAction::PlayPause, "PlayPause", Qt::Key_Space, QT_TRANSLATE_NOOP("Shortcuts", "播放/暂停")},
    {KeyAction::PreviousSentence, "PreviousSentence", Qt::Key_Left, QT_TRANSLATE_NOOP("Shortcuts", "上一句")},
    {KeyAction::NextSentence, "NextSentence", Qt::Key_Right, QT_TRANSLATE_NOOP("Shortcuts", "下一句")},
    {KeyAction::SentenceAgain, "SentenceAgain", Qt::Key_Down, QT_TRANSLATE_NOOP("Shortcuts", "从头重听本句")},
    {KeyAction::Record, "Record", Qt::Key_R, QT_TRANSLATE_NOOP("Shortcuts", "开始/停止录音")},
    {KeyAction::PlayRecording, "PlayRecording", Qt::Key_P, QT_TRANSLATE_NOOP("Shortcuts", "播放/停止录音")},
    {KeyAction::CompareAB, "CompareAB", Qt::Key_C, QT_TRANSLATE_NOOP("Shortcuts", "对比：原句再录音")},
    {KeyAction::Slower, "Slower", Qt::Key_BracketLeft, QT_TRANSLATE_NOOP("Shortcuts", "减速 0.05")},
    {KeyAction::Faster, "Faster", Qt::Key_BracketRight, QT_TRANSLATE_NOOP("Shortcuts", "加速 0.05")},
    {KeyAction::NormalSpeed, "NormalSpeed", Qt::Key_Backslash, QT_TRANSLATE_NOOP("Shortcuts", "恢复 1.00×")},
    {KeyAction::Drill, "Drill", Qt::Key_D, QT_TRANSLATE_NOOP("Shortcuts", "自动跟读 开/关")},
    {KeyAction::Translations, "Translations", Qt::Key_T, QT_TRANSLATE_NOOP("Shortcuts", "显示/隐藏译文")},
    {KeyAction::Blind, "Blind", Qt::Key_H, QT_TRANSLATE_NOOP("Shortcuts", "盲听 开/关")},
    {KeyAction::Reveal, "Reveal", Qt::Key_V, QT_TRANSLATE_NOOP("Shortcuts", "盲听时显示本句")},
    {KeyAction::PassageImitation, "PassageImitation", Qt::Key_1, QT_TRANSLATE_NOOP("Shortcuts", "全文模仿")},
    {KeyAction::ListenRepeat, "ListenRepeat", Qt::Key_2, QT_TRANSLATE_NOOP("Shortcuts", "跟读训练")},
    {KeyAction::Retelling, "Retelling", Qt::Key_3, QT_TRANSLATE_NOOP("Shortcuts", "复述练习")},
    {KeyAction::Help, "Help", Qt::Key_F1, QT_TRANSLATE_NOOP("Shortcuts", "快捷键一览")},
};

constexpr bool entriesAreSound()
{
    for (int index = 0; index < kKeyActionCount; ++index) {
        if (kEntries[index].action != KeyAction(index))
            return false;
        for (int other = 0; other < index; ++other)
            if (kEntries[other].key == kEntries[index].key)
                return false;
    }
    return true;
}
static_assert(std::size(kEntries) == size_t(kKeyActionCount) && entriesAreSound(),
              "one entry per action, in the enum's order, each on a key of its own");

const ActionEntry& entry(KeyAction action)
{
    return kEntries[size_t(action)];
}

QString translated(const char* text)
{
    return QCoreApplication::translate(kContext, text);
}

// QSettings reads an unquoted value with a comma ("Ctrl+X, Ctrl+Y") as a list.
QString profileText(const QSettings& profile, KeyAction action)
{
    const QVariant value = profile.value(QStringLiteral("Shortcuts/") + profileName(action));
    return value.toStringList().join(QStringLiteral(", ")).trimmed();
}

// Why a value that is not empty cannot be taken as it stands; nothing when it can.
std::optional<QString> unusable(const QString& text, const QKeySequence& key)
{
    if (key.count() > 1)
        return translated(QT_TRANSLATE_NOOP("Shortcuts", "“%1”不是单个按键")).arg(text);
    if (key.isEmpty() || key[0].key() == Qt::Key_unknown)
        return translated(QT_TRANSLATE_NOOP("Shortcuts", "无法识别快捷键“%1”")).arg(text);
    return std::nullopt;
}

// Whether `other` keeps the key that both it and `action` hold: the one on its
// default wins, then the earlier.
bool beats(KeyAction other, KeyAction action, const std::array<bool, kKeyActionCount>& changed)
{
    return !changed[size_t(other)] || other < action;
}

} // namespace

QString profileName(KeyAction action)
{
    return QLatin1String(entry(action).profileName);
}

QString description(KeyAction action)
{
    return translated(entry(action).description);
}

QKeySequence defaultKey(KeyAction action)
{
    return QKeySequence(entry(action).key);
}

QString learnerKeyText(const QKeySequence& key)
{
    if (key.isEmpty())
        return QString();
    const QKeyCombination combination = key[0];
    const QString whole = QKeySequence(combination).toString(QKeySequence::NativeText);
    QString learner;
    switch (combination.key()) {
    case Qt::Key_Space:
        learner = translated(QT_TRANSLATE_NOOP("Shortcuts", "空格"));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        learner = translated(QT_TRANSLATE_NOOP("Shortcuts", "回车"));
        break;
    case Qt::Key_Left:
        learner = QStringLiteral("←");
        break;
    case Qt::Key_Right:
        learner = QStringLiteral("→");
        break;
    case Qt::Key_Up:
        learner = QStringLiteral("↑");
        break;
    case Qt::Key_Down:
        learner = QStringLiteral("↓");
        break;
    default:
        return whole;
    }
    // The modifiers stay as the platform writes them: "Ctrl+→".
    const QString keyName = QKeySequence(combination.key()).toString(QKeySequence::NativeText);
    return whole.endsWith(keyName) ? whole.left(whole.size() - keyName.size()) + learner : whole;
}

KeyMap::KeyMap()
{
    for (KeyAction action : kKeyActions)
        m_keys[size_t(action)] = defaultKey(action);
}

KeyMap readKeyMap(const QSettings& profile, QStringList* refused)
{
    KeyMap map;
    std::array<bool, kKeyActionCount> changed{};
    std::array<QString, kKeyActionCount> reasons; // why an action keeps its default
    std::array<QKeySequence, kKeyActionCount> lost; // the key a collision took from it

    for (KeyAction action : kKeyActions) {
        const QString text = profileText(profile, action);
        if (text.isEmpty())
            continue;
        const QKeySequence key = QKeySequence::fromString(text, QKeySequence::PortableText);
        if (const std::optional<QString> reason = unusable(text, key))
            reasons[size_t(action)] = *reason;
        else if (key != defaultKey(action)) {
            map.m_keys[size_t(action)] = key;
            changed[size_t(action)] = true;
        }
    }

    // An action put back on its default may take that key from a change that
    // won it before: repeat until no key is held twice. Every round puts at
    // least one action back for good, so there are at most as many rounds as actions.
    for (bool settled = false; !settled;) {
        settled = true;
        for (KeyAction action : kKeyActions) {
            if (!changed[size_t(action)])
                continue;
            for (KeyAction other : kKeyActions) {
                if (other == action || map.key(other) != map.key(action) || !beats(other, action, changed))
                    continue;
                lost[size_t(action)] = map.key(action);
                map.m_keys[size_t(action)] = defaultKey(action);
                changed[size_t(action)] = false;
                settled = false;
                break;
            }
        }
    }

    if (!refused)
        return map;
    // Named only now, after the last round: the holder of a lost key is final.
    for (KeyAction action : kKeyActions) {
        const QKeySequence key = lost[size_t(action)];
        if (!key.isEmpty()) {
            for (KeyAction holder : kKeyActions)
                if (map.key(holder) == key)
                    reasons[size_t(action)] = translated(QT_TRANSLATE_NOOP("Shortcuts", "快捷键 %1 已被“%2”占用"))
                                                  .arg(learnerKeyText(key), description(holder));
        }
        if (!reasons[size_t(action)].isEmpty())
            refused->append(translated(QT_TRANSLATE_NOOP("Shortcuts", "%1，“%2”仍用 %3"))
                                .arg(reasons[size_t(action)], description(action), learnerKeyText(map.key(action))));
    }
    return map;
}

QString tooltipWith(const QString& text, const QList<QKeySequence>& keys)
{
    QStringList names;
    for (const QKeySequence& key : keys)
        if (!key.isEmpty())
            names.append(learnerKeyText(key));
    if (names.isEmpty())
        return text;
    return translated(QT_TRANSLATE_NOOP("Shortcuts", "%1 (快捷键 %2)")).arg(text, names.join(QStringLiteral(" / ")));
}

QString tooltipWith(const QString& text, const QKeySequence& key)
{
    return tooltipWith(text, QList<QKeySequence>{key});
}
