#pragma once

#include "office/OfficeLoan.h"

namespace lumarel::test {

// One office that its owner keeps; every use gets it and gives nothing back.
class OneOffice : public OfficeLoan
{
public:
    explicit OneOffice(OfficeEngine& office) : m_office(office) {}
    OfficeEngine& take() override { return m_office; }
    void giveBack(OfficeEngine*, bool) override {}

private:
    OfficeEngine& m_office;
};

} // namespace lumarel::test
