#include "blade/ksamplesetting.h"

#include "blade/kload.h"
#include "core/binaryio.h"

namespace Folvane {

KSampleSetting::KSampleSetting(KLoadList* loads, QObject* parent)
    : KObjectList(QStringLiteral("Sample Setting"), parent)
    , m_loads(loads)
    , m_load(static_cast<KLoad*>(loads->sonOrFirst(0)))
{
}

KLoad* KSampleSetting::load() const
{
    return m_load ? m_load.data() : static_cast<KLoad*>(m_loads->sonOrFirst(0));
}

int KSampleSetting::loadInd() const
{
    return m_loads->indexOfSon(load());
}

void KSampleSetting::setLoadInd(int ind)
{
    m_load = static_cast<KLoad*>(m_loads->ReadSon(ind));
}

void KSampleSetting::selectFirstLoad()
{
    m_load = static_cast<KLoad*>(m_loads->sonOrFirst(0));
}

void KSampleSetting::readBinary(QDataStream& in)
{
    beginResetModel();
    m_samFolder = Binary::readString(in);
    m_samNum = Binary::readInt(in);
    m_exportFVM = Binary::readFlag(in);
    m_exportFEM = Binary::readFlag(in);
    m_load = static_cast<KLoad*>(m_loads->sonOrFirst(Binary::readInt(in)));
    endResetModel();
}

void KSampleSetting::writeBinary(QDataStream& out) const
{
    Binary::writeString(out, m_samFolder);
    Binary::writeInt(out, m_samNum);
    Binary::writeFlag(out, m_exportFVM);
    Binary::writeFlag(out, m_exportFEM);
    Binary::writeInt(out, loadInd());
}

} // namespace Folvane
