INSERT INTO suggestion (word) VALUES ('sword');
