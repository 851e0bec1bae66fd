#include "flyer/RecordFields.h"

namespace lumarel {

FlyerFields flyerFields(const EventRecord& record)
{
    return {record.dtpEventDate.date(), record.dtpTime.time(), record.txtOrgName,
            record.txtEventName,        record.txtLocation,    record.txtMore,
            record.txtInfoOrg,          record.txtPlans,       record.txtItems};
}

} // namespace lumarel
