;// a comment
