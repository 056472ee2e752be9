#include "shell/AppState.h"

// Static storage: every field starts at zero.
AppState appState;
