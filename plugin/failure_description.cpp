#include "plugin/failure_description.h"

#include <new>

#include "common/errors.h"

namespace kestrova {

FailureDescription DescribeFailure(std::exception_ptr failure) {
    FailureDescription d;
    try {
        std::rethrow_exception(failure);
    } catch (const ECustomError& e) {
        d.Kind = dynamic_cast<const EUserAbort*>(&e) ? FailureKind::UserAbort : FailureKind::Custom;
        d.ClassName = e.ClassName();
        d.Message = e.Message;
        d.Code = e.Code;
        d.ProcName = e.ProcName;
        d.ProtocolAnswer = dynamic_cast<const EInternetError*>(&e) != nullptr;
    } catch (const Exception& e) {
        if (dynamic_cast<const EAbort*>(&e))
            d.Kind = FailureKind::SilentAbort;
        else if (dynamic_cast<const EPluginLeave*>(&e))
            d.Kind = FailureKind::PluginLeave;
        else if (dynamic_cast<const EInternetLeave*>(&e))
            d.Kind = FailureKind::InternetLeave;
        d.ClassName = e.ClassName();
        d.Message = e.Message;
    } catch (const std::bad_alloc&) {
        d.ClassName = "EOutOfMemory";
        d.Message = "Out of memory";
    } catch (const std::exception& e) {
        d.ClassName = "Exception";
        d.Message = e.what();
    } catch (...) {
        d.ClassName = "Exception";
    }
    return d;
}

}  // namespace kestrova
