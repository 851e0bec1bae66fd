#pragma once

namespace lumarel {

class OfficeEngine;
class OfficePool;

// Where a flyer's office comes from: the window's ready office, or a pool of a command's own.
// A loan holds no state of a use; OfficeUse does, so that threads may share one loan.
class OfficeLoan
{
public:
    virtual ~OfficeLoan() = default;

    // An office for a use. Throws Failure when none can be started.
    virtual OfficeEngine& take() = 0;
    // Ends a use, also one whose take() threw (`office` is then null); an office that failed
    // in the use is not lent again as it is.
    virtual void giveBack(OfficeEngine* office, bool failed) = 0;
    // Whether `office` holds the flyer template opened ahead, unused; true once: the caller
    // takes it over.
    virtual bool takePrepared(const OfficeEngine& office);
};

// The offices of a pool, one for each use.
class PooledOffices : public OfficeLoan
{
public:
    explicit PooledOffices(OfficePool& pool) : m_pool(pool) {}
    OfficeEngine& take() override;
    void giveBack(OfficeEngine* office, bool failed) override;

private:
    OfficePool& m_pool;
};

// One use of a loan's office: taken at the first office(), given back when the use ends, as
// failed when setFailed() said so or an exception ends it.
class OfficeUse
{
public:
    explicit OfficeUse(OfficeLoan& loan);
    ~OfficeUse();
    OfficeUse(const OfficeUse&) = delete;
    OfficeUse& operator=(const OfficeUse&) = delete;

    OfficeLoan& loan() const { return m_loan; }
    // The use's office; one that no longer answers is given back as failed and replaced.
    // Throws Failure when none can be started.
    OfficeEngine& office();
    // The office taken, without asking it anything; null before office() or after end().
    OfficeEngine* current() const { return m_office; }
    void setFailed(bool failed) { m_failed = failed; }
    // Gives the office back now; the next office() starts a new use.
    void end();

private:
    OfficeLoan& m_loan;
    OfficeEngine* m_office = nullptr;
    bool m_taking = false; // take() was called since the last end()
    bool m_failed = false;
    int m_exceptions;
};

} // namespace lumarel
