#include "documentfile.h"
