#pragma once

#include <QList>
#include <QStringList>
#include <QVector>

// The unit groups of a project's channels: the distinct display units in order of first
// appearance (so the unit of channel 0 comes first) and, per unit, its channels in channel order.
class UnitGroups
{
public:
    UnitGroups() = default;
    explicit UnitGroups(const QStringList &channelUnits);

    const QStringList &units() const { return m_units; }
    int count() const { return m_units.size(); }
    int channelCount() const { return m_groupOf.size(); }
    // Group of a channel; -1 for an index out of range.
    int groupOf(int channel) const;
    // Channel indices of a group, in channel order (empty for an index out of range).
    QVector<int> members(int group) const;
    // Per channel: true when its unit is the first unit.
    QList<bool> onFirstUnit() const;

private:
    QStringList m_units;
    QVector<int> m_groupOf;
    QVector<QVector<int>> m_members;
};
