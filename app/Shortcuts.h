// The keyboard: one key for each action of the practice, its default, its
// name in the profile's "Shortcuts" group, and how learners read it.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class QSettings;

// In the order of the help sheet.
enum class KeyAction {
    PlayPause,
    PreviousSentence,
    NextSentence,
    SentenceAgain,
    Record,
    PlayRecording,
    CompareAB,
    Slower,
    Faster,
    NormalSpeed,
    Drill,
    Translations,
    Blind,
    Reveal,
    PassageImitation,
    ListenRepeat,
    Retelling,
    Help,
};

inline constexpr int kKeyActionCount = int(KeyAction::Help) + 1;

// Every action, in the order of the enum: `for (KeyAction action : kKeyActions)`.
inline constexpr std::array<KeyAction, kKeyActionCount> kKeyActions = [] {
    std::array<KeyAction, kKeyActionCount> actions{};
    for (int index = 0; index < kKeyActionCount; ++index)
        actions[size_t(index)] = KeyAction(index);
    return actions;
}();

// The key under "Shortcuts" in the profile: "PlayPause", "PreviousSentence", ...
QString profileName(KeyAction action);
// What the key does, short and translated: "上一句".
QString description(KeyAction action);
QKeySequence defaultKey(KeyAction action);

// The key as learners read it on the keyboard: "空格", "←", "[", "Ctrl+→".
QString learnerKeyText(const QKeySequence& key);

// One single key for each action, never the same key for two.
class KeyMap {
public:
    KeyMap(); // every action on its default key

    QKeySequence key(KeyAction action) const { return m_keys[size_t(action)]; }

private:
    friend KeyMap readKeyMap(const QSettings& profile, QStringList* refused);
    std::array<QKeySequence, kKeyActionCount> m_keys;
};

// The profile's "Shortcuts" group over the defaults. An empty value is
// missing; a value that is no single key or a key that
// another action holds is refused: that action keeps its default and
// `refused` (may be null) gets one message for it. Between two actions that
// want one key, the one whose default it is wins, then the earlier one.
KeyMap readKeyMap(const QSettings& profile, QStringList* refused);

// A control's tooltip with its keys: "播放速度 (快捷键 [ / ])". Empty keys are
// left out; without any key the text stands alone.
QString tooltipWith(const QString& text, const QList<QKeySequence>& keys);
QString tooltipWith(const QString& text, const QKeySequence& key);
