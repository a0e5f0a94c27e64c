# Run folders are assembled here.
