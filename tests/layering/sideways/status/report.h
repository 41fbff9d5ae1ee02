#pragma once

#include "shell/connect.h"
