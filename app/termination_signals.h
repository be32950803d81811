#pragma once
// SIGTERM and SIGINT end the viewer the way its close button does: the
// handler only notes the request, and the main window, which polls it,
// closes itself on its own thread.

// Installs the handlers (once).
void InstallTerminationHandlers();
// A termination signal arrived since start-up.
bool TerminationRequested();
// For tests: forget an earlier request.
void ClearTerminationRequest();
