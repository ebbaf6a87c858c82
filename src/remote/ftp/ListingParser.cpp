#include "remote/ftp/ListingParser.h"
