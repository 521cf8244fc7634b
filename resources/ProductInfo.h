/* The product's identity, in one place: the version resource is made from it, and the
   program reads it back from that resource at run time. A distributor changes this file. */
#pragma once

#define QUELL_PRODUCT_NAME "QuellPane"
#define QUELL_COMPANY_NAME "QuellPane Project"
/* The publisher's website as a bare host; also the first entry of a new allowed list. */
#define QUELL_WEBSITE "quellpane.example"
#define QUELL_VERSION_MAJOR 1
#define QUELL_VERSION_MINOR 0
#define QUELL_VERSION_PATCH 0
#define QUELL_VERSION_TEXT "1.0.0"
