// The status record of the command channel filled from the Document.
#pragma once

#include "app/comm/sonbrix_status.h"

class Document;

StatusData make_document_status(Document& document);
