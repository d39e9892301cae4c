#pragma once

#include <QString>

// What every program of the project does first, before the engine is loaded or a thread started: a write past
// a file-size limit fails instead of ending the process, and the engine's lock and temporary files go to
// folders this user can write. Returns why the process cannot go on, or an empty text when it can.
QString prepareProcess();
