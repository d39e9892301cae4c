#include "Dataset.h"

#include "Messages.h"

ControlsDisabled::~ControlsDisabled() {
    // A widget that fails to read while an exception is already in flight must not end the program.
    guarded([this] { m_dataset.enableControls(); });
}
