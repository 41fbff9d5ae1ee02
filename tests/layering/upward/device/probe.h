#pragma once

#include <string>

#include "link/session.h"
#include "status/report.h"
