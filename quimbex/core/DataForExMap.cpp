#include "DataForExMap.h"

#include "Archive.h"

void CDataForExMap::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        ar << m_nOrder << m_strFileName << m_strNote;
    else
        ar >> m_nOrder >> m_strFileName >> m_strNote;
}
