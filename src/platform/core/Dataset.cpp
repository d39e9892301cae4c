#include "platform/core/Dataset.h"

#include "platform/core/Errors.h"

ControlsDisabled::~ControlsDisabled() {
    // A widget that fails to read while an exception is already in flight must not end the program.
    UnthrownErrors::guard([this] { m_dataset.enableControls(); });
}
