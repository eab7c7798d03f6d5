# Filled in as the tool lands.
