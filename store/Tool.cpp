#include "store/Tool.h"
