/* Grammar of the clause language.  Each completed command is handed to the
   database being read; a syntax error is reported, and parsing resumes after
   the next full stop (the standard error recovery: the error is reported once,
   then three tokens must be shifted before another error is reported). */

%code requires {
#include "clausedb/clause_reader.h"
}

%code {
/* The parser's state and value stacks hold 600 entries; a text nested deeper
   stops the parse with "yacc stack overflow". */
#define YYINITDEPTH 600
#define YYMAXDEPTH 600
#define YY_(Msgid) clausedb_parser_message(Msgid)

static const char* clausedb_parser_message(const char* message) {
    return std::strcmp(message, "memory exhausted") == 0 ? "yacc stack overflow" : message;
}

static int qb_clause_lex(QB_CLAUSE_STYPE* value, clausedb::ReaderState* st) {
    return clausedb::NextToken(*st, *value);
}

static void qb_clause_error(clausedb::ReaderState* st, const char* message) {
    clausedb::ReportSyntaxError(*st, message);
}

/* The look-ahead token, when the parser has already read one. */
#define QB_LOOKAHEAD (yychar != QB_CLAUSE_EMPTY ? &yylval : nullptr)
/* Whether the parser is still recovering from a syntax error. */
#define QB_RECOVERING (YYRECOVERING() != 0)

using namespace clausedb;
}

%define api.pure full
%define api.prefix {qb_clause_}
%define api.value.type {clausedb::ClauseValue}
%param {clausedb::ReaderState* st}
%expect 0

%token T_INTEGER 1 T_WORD 2 T_STRING 3 T_OPEN 4 T_CLOSE 5 T_COMMA 6 T_OTHER 8
%token T_OPEN_SQUARE 9 T_CLOSE_SQUARE 10 T_EQUALS 11 T_PERIOD 13 T_EXP 14

%destructor { DropTerm(*st, $$.term); } compound arglist arguments argument value

%start file

%%

file
    : %empty
    | file command
    ;

command
    : T_WORD T_PERIOD       { FinishCommand(*st, ListOf(*st, MakeWord(*st, $1)),
                                            QB_LOOKAHEAD, QB_RECOVERING); }
    | compound T_PERIOD     { FinishCommand(*st, $1.term, QB_LOOKAHEAD, QB_RECOVERING); }
    | error T_PERIOD        { ReportSyntaxError(*st, "Unrecognized command.");
                              FinishFailedCommand(*st, QB_LOOKAHEAD, QB_RECOVERING); }
    ;

/* An argument list is empty, or arguments separated by commas with an
   optional comma after the last one.  It is written left-recursively so that
   long lists do not fill the parser's stack; the elements keep their order. */
compound
    : T_WORD T_OPEN arglist T_CLOSE                   { $$.term = MakeCompound(*st, $1, $3.term); }
    | T_OPEN_SQUARE T_CLOSE_SQUARE                    { $$.term = MakeList(*st); }
    | T_OPEN_SQUARE arguments T_CLOSE_SQUARE          { $$.term = $2.term; }
    | T_OPEN_SQUARE arguments T_COMMA T_CLOSE_SQUARE  { $$.term = $2.term; }
    ;

arglist
    : %empty                { $$.term = 0; }
    | arguments             { $$.term = $1.term; }
    | arguments T_COMMA     { $$.term = $1.term; }
    ;

arguments
    : argument                      { $$.term = ListOf(*st, $1.term); }
    | arguments T_COMMA argument    { AppendTerm(*st, $1.term, $3.term); $$.term = $1.term; }
    ;

argument
    : T_WORD T_EQUALS value { $$.term = MakePair(*st, $1, $3.term); }
    | value                 { $$.term = $1.term; }
    ;

value
    : T_WORD                                        { $$.term = MakeWord(*st, $1); }
    | T_STRING                                      { $$.term = MakeString(*st, $1); }
    | T_INTEGER                                     { $$.term = MakeInteger(*st, $1); }
    | T_INTEGER T_PERIOD T_INTEGER                  { $$.term = MakeReal(*st, $1, &$3, nullptr); }
    | T_INTEGER T_EXP T_INTEGER                     { $$.term = MakeReal(*st, $1, nullptr, &$3); }
    | T_INTEGER T_PERIOD T_INTEGER T_EXP T_INTEGER  { $$.term = MakeReal(*st, $1, &$3, &$5); }
    | compound                                      { $$.term = $1.term; }
    ;

%%
