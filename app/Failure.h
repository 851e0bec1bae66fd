#pragma once

#include <QString>

#include <stdexcept>

namespace lumarel {

// The program's own failure: carries the description the user sees in an error message.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description)
    {
    }

    const QString& description() const { return m_description; }

private:
    QString m_description;
};

} // namespace lumarel
