#include "acquisition/UnitGroups.h"

UnitGroups::UnitGroups(const QStringList &channelUnits)
{
    m_groupOf.reserve(channelUnits.size());
    for (int channel = 0; channel < channelUnits.size(); ++channel) {
        int group = m_units.indexOf(channelUnits.at(channel));
        if (group < 0) {
            group = m_units.size();
            m_units.append(channelUnits.at(channel));
            m_members.append(QVector<int>());
        }
        m_groupOf.append(group);
        m_members[group].append(channel);
    }
}

int UnitGroups::groupOf(int channel) const
{
    return channel >= 0 && channel < m_groupOf.size() ? m_groupOf.at(channel) : -1;
}

QVector<int> UnitGroups::members(int group) const
{
    return group >= 0 && group < m_members.size() ? m_members.at(group) : QVector<int>();
}

QList<bool> UnitGroups::onFirstUnit() const
{
    QList<bool> result;
    result.reserve(m_groupOf.size());
    for (int group : m_groupOf)
        result.append(group == 0);
    return result;
}
